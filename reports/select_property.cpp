#include "select_property.h"

#include "data/dates.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "platform/desktop.h"

namespace halvo {

namespace {
const QString AllProperties = QStringLiteral("All Properties");
}

frmSelectProperty::frmSelectProperty(const QString& programFolder, QWidget* parent)
    : ReportSelection(programFolder, QStringLiteral("Generate Income and Expense Report"),
                      QStringLiteral("cboNickname"), QStringLiteral("Select Property:"), parent)
{
    setObjectName(QStringLiteral("frmSelectProperty"));
    cboNickname = choiceList();
}

// A list that cannot be filled keeps what it has: the window still offers all properties.
void frmSelectProperty::fillLists()
{
    static_cast<void>(openLookUp(AdoProperty, Statements::PropertiesByNickname));
    fillNicknames(AdoProperty, AllProperties);
    fillYears(yearsDownTo2000(Clock::today().year()));
}

// The year's transactions, of one property or of all, in date order. The nickname and the year
// are bound values: a nickname with a quote in it is just a nickname.
void frmSelectProperty::GenerateReport_Click()
{
    const QString nickname = cboNickname->text();
    const QString year = cboYear->text();
    const QString pattern = Dates::yearPattern(year.toInt());
    const ReportQuery query = nickname == AllProperties
                                  ? ReportQuery{Statements::LedgerOfYear, {pattern}}
                                  : ReportQuery{Statements::LedgerOfPropertyAndYear, {nickname, pattern}};
    const QString title =
        addressOf(AdoProperty, nickname).value_or(QStringLiteral("Report for All Properties"));
    generate(QStringLiteral("cmdIncome"), query, [title](ReportLayout& report) {
        // The category report prints with the same layout: the heading is set every time.
        report.reportHeader.control(QStringLiteral("lblTitle"))->text =
            QStringLiteral("Income and Expense Report");
        report.title = title;
    });
}

} // namespace halvo
