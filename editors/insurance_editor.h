#pragma once
// frmInsurance: the insurance policies on the properties, with the company that holds each and
// its yearly premium.

#include "editors/record_editor.h"

namespace halvo {

class frmInsurance : public RecordEditor {
    Q_OBJECT
public:
    explicit frmInsurance(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();
};

} // namespace halvo
