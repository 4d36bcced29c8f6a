#include "select_category.h"

#include "data/dates.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "platform/desktop.h"

namespace halvo {

namespace {
const QString AllCategories = QStringLiteral("All Categories");
}

frmSelectCategory::frmSelectCategory(const QString& dataFolder, QWidget* parent)
    : ReportSelection(dataFolder, QStringLiteral("Generate Category Report"),
                      QStringLiteral("cboCategory"), QStringLiteral("Select Category:"), parent)
{
    setObjectName(QStringLiteral("frmSelectCategory"));
    cboCategory = choiceList();
}

// The income names first, then the expense names, each in the table's order; a name that stands
// in both columns is listed twice.
void frmSelectCategory::fillLists()
{
    static_cast<void>(openLookUp(datPrimaryRS, Statements::AllCategories));
    cboCategory->clear();
    cboCategory->addItem(AllCategories);
    cboCategory->setCurrentIndex(0);
    if (datPrimaryRS.isOpen() && datPrimaryRS.requery()) {
        addNames(QStringLiteral("Income"));
        addNames(QStringLiteral("Expense"));
    }
    fillYears(yearsDownTo2000(Clock::today().year()));
}

void frmSelectCategory::addNames(const QString& column)
{
    for (Status s = datPrimaryRS.moveFirst(); s && !datPrimaryRS.eof(); s = datPrimaryRS.moveNext()) {
        const QVariant name = datPrimaryRS.value(column);
        if (!name.isNull() && !name.toString().isEmpty())
            cboCategory->addItem(name.toString());
    }
}

// The year's transactions of one category, incomes and expenses alike, or of all, in date order.
// The category and the year are bound values: a name with a quote in it is just a name.
void frmSelectCategory::GenerateReport_Click()
{
    const QString category = cboCategory->text();
    const QString pattern = Dates::yearPattern(cboYear->text().toInt());
    const bool all = category == AllCategories;
    const ReportQuery query = all ? ReportQuery{Statements::LedgerOfYear, {pattern}}
                                  : ReportQuery{Statements::LedgerOfCategoryAndYear, {category, pattern}};
    const QString title = all ? QStringLiteral("Report for All Categories") : category;
    generate(QStringLiteral("cmdIncome"), query, [title](ReportLayout& report) {
        // The income and expense report prints with the same layout: the heading is set every
        // time.
        report.reportHeader.control(QStringLiteral("lblTitle"))->text =
            QStringLiteral("Category Report");
        report.title = title;
    });
}

} // namespace halvo
