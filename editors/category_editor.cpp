#include "category_editor.h"

#include "data/statements.h"

namespace halvo {

EditorDescription frmCategory::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmCategory");
    d.caption = QStringLiteral("Income and Expense Category");
    d.recordSource = Statements::CategoryTable;
    d.countBox = QStringLiteral("txtFields(30)");
    d.addCommand = QStringLiteral("AddCategory");
    d.addCaption = QStringLiteral("Add Category");
    d.grid.columns = {gridColumn(QStringLiteral("Income"), QStringLiteral("Income"), 3000),
              gridColumn(QStringLiteral("Expense"), QStringLiteral("Expense"), 3000)};
    d.grid.editable = true;
    // The lists may be empty: no blank row appears until Add is pressed.
    d.blankRecordWhenEmpty = false;
    d.deleteQuestion = QStringLiteral("Delete current Income and Expense record?");
    return d;
}

frmCategory::frmCategory(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
}

// Save counts first, and counting moves through the set, which writes the row being typed;
// the write that follows finds nothing left pending.
Status frmCategory::writeRecord()
{
    ShowRecordCount();
    return records().update();
}

void frmCategory::afterWrite() {}

// The window opens on its last row, where a new category is typed.
void frmCategory::showEvent(QShowEvent* event)
{
    const bool opening = !records().isOpen();
    RecordEditor::showEvent(event);
    if (opening && records().isOpen())
        moveLast();
}

} // namespace halvo
