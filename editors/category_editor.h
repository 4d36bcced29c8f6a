#pragma once
// frmCategory: the user's income and expense categories, two lists kept side by side and typed
// straight into the grid.

#include "editors/record_editor.h"

namespace halvo {

class frmCategory : public RecordEditor {
    Q_OBJECT
public:
    explicit frmCategory(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

protected:
    Status writeRecord() override;
    void afterWrite() override;
    void showEvent(QShowEvent* event) override;
};

} // namespace halvo
