#include "category_editor.h"

#include "controls/pickers.h"
#include "data/statements.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "tax/schedule_e.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>

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
    QGridLayout* area = extraArea();
    const int year = Clock::today().year();
    for (bool income : {true, false}) {
        auto* picker = new Picker(this);
        picker->setObjectName(income ? QStringLiteral("cboIncomeLine")
                                     : QStringLiteral("cboExpenseLine"));
        picker->addItem(QString(), -1); // no line yet
        for (int line : mappableLines(year, income))
            picker->addItem(lineCaption(year, line), line);
        auto* label = new QLabel(income ? tr("Schedule E line of the &income:")
                                        : tr("Schedule E line of the e&xpense:"),
                                 this);
        label->setBuddy(picker);
        picker->setAccessibleName(label->text().remove(QLatin1Char('&')));
        connect(picker, &QComboBox::currentIndexChanged, this,
                [this, income] { lineChosen(income); });
        const int row = income ? 0 : 2;
        area->addWidget(label, row, 0);
        area->addWidget(picker, row + 1, 0);
    }
    area->setRowStretch(4, 1);
    // The pickers stand beside the grid, not over its two columns.
    QTableView* view = grid();
    view->setMinimumWidth(twipsToPixels(2 * 3000, view) + 2 * view->frameWidth()
                          + view->verticalScrollBar()->sizeHint().width()
                          + view->verticalHeader()->sizeHint().width());
}

Picker* frmCategory::lineOf(bool income) const
{
    return findChild<Picker*>(income ? QStringLiteral("cboIncomeLine")
                                     : QStringLiteral("cboExpenseLine"));
}

// The current row's categories with their lines; a picker stays unavailable for a name not typed.
void frmCategory::recordShown()
{
    const Connection* c = connection();
    const Result<QMap<CategoryKey, int>> lines =
        c ? loadCategoryLines(*c) : Result<QMap<CategoryKey, int>>(Error{});
    filling = true;
    for (bool income : {true, false}) {
        const QString name = records().isOpen() && records().absolutePosition() > 0
                                 ? records().value(income ? QStringLiteral("Income")
                                                          : QStringLiteral("Expense"))
                                       .toString()
                                 : QString();
        Picker* picker = lineOf(income);
        picker->setEnabled(!name.isEmpty());
        const int line = lines ? lines.value().value({income, name}, -1) : -1;
        picker->setCurrentIndex(qMax(0, picker->findData(name.isEmpty() ? -1 : line)));
    }
    filling = false;
}

void frmCategory::lineChosen(bool income)
{
    const Connection* c = connection();
    if (filling || !c || !records().isOpen() || records().absolutePosition() == 0)
        return;
    const QString name =
        records().value(income ? QStringLiteral("Income") : QStringLiteral("Expense")).toString();
    if (name.isEmpty())
        return;
    const int line = lineOf(income)->currentData().toInt();
    if (Status saved = saveCategoryLine(*c, {income, name},
                                        line < 0 ? std::nullopt : std::optional<int>(line));
        !saved)
        prompts().message(this, saved.error().description);
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
    if (opening && records().isOpen()) {
        // The categories the file starts with, and any typed since, are offered the line their
        // name suggests; the user's own choices stay.
        if (const Connection* c = connection())
            static_cast<void>(offerFirstMapping(*c));
        moveLast();
    }
}

} // namespace halvo
