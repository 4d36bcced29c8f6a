#pragma once
// frmCategory: the user's income and expense categories, two lists kept side by side and typed
// straight into the grid. Beside the grid, the current row's categories each have their line of
// the rental schedule (Schedule E), kept in a table of their own so that the category table keeps
// its two columns; categories without one are given the line their name suggests on opening.

#include "editors/record_editor.h"

namespace halvo {

class Picker;

class frmCategory : public RecordEditor {
    Q_OBJECT
public:
    explicit frmCategory(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

protected:
    Status writeRecord() override;
    void afterWrite() override;
    void showEvent(QShowEvent* event) override;
    void recordShown() override;

private:
    Picker* lineOf(bool income) const;
    void lineChosen(bool income);
    bool filling = false;
};

} // namespace halvo
