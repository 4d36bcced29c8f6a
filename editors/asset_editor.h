#pragma once
// frmAsset: the depreciable assets of the properties. Each building and each improvement entered
// on a property, with its cost, what was added to it and the land's share (never depreciated),
// the date it was placed in service, its class, and the date it was sold or taken out of
// service. Line 18 of the Schedule E worksheet is computed from them.

#include "editors/record_editor.h"

namespace halvo {

class frmAsset : public RecordEditor {
    Q_OBJECT
public:
    explicit frmAsset(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

protected:
    void prepareSave() override;
};

} // namespace halvo
