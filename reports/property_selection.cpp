#include "property_selection.h"

#include "controls/pickers.h"
#include "data/dates.h"
#include "data/statements.h"
#include "platform/desktop.h"

namespace halvo {

namespace {

PropertyReport makeIncomeReport()
{
    PropertyReport r;
    r.name = QStringLiteral("frmSelectProperty");
    r.caption = QStringLiteral("Generate Income and Expense Report");
    r.allText = QStringLiteral("All Properties");
    r.allTitle = QStringLiteral("Report for All Properties");
    r.command = QStringLiteral("cmdIncome");
    // The year's transactions, in date order.
    r.ofYear = Statements::LedgerOfYear;
    r.ofPropertyAndYear = Statements::LedgerOfPropertyAndYear;
    r.years = &yearsDownTo2000;
    // The category report prints with the same layout: the heading is set every time.
    r.heading = QStringLiteral("Income and Expense Report");
    return r;
}

PropertyReport makeNoteReport()
{
    PropertyReport r;
    r.name = QStringLiteral("frmSelectNote");
    r.caption = QStringLiteral("Generate Note Report");
    r.allText = QStringLiteral("All Notes");
    r.allTitle = QStringLiteral("Report for All Notes");
    r.command = QStringLiteral("cmdNote");
    // The year's notes, in the order they were entered; the heading stays "Note Report".
    r.ofYear = Statements::NotesOfYear;
    r.ofPropertyAndYear = Statements::NotesOfPropertyAndYear;
    r.years = &noteYears;
    return r;
}

} // namespace

const PropertyReport& incomeReport()
{
    static const PropertyReport report = makeIncomeReport();
    return report;
}

const PropertyReport& noteReport()
{
    static const PropertyReport report = makeNoteReport();
    return report;
}

PropertySelection::PropertySelection(const PropertyReport& report, const QString& dataFolder,
                                     QWidget* parent)
    : ReportSelection(dataFolder, report.caption, QStringLiteral("cboNickname"),
                      QStringLiteral("Select Property:"), parent)
    , report_(report)
{
    setObjectName(report.name);
    cboNickname = choiceList();
}

// A list that cannot be filled keeps what it has: the window still offers every property.
void PropertySelection::fillLists()
{
    static_cast<void>(openLookUp(AdoProperty, Statements::PropertiesByNickname));
    fillNicknames(AdoProperty, report_.allText);
    fillYears(report_.years(Clock::today().year()));
}

// The year's rows, of one property or of all; the title names the property's address. The
// nickname and the year are bound values: a nickname with a quote in it is just a nickname.
void PropertySelection::GenerateReport_Click()
{
    const QString nickname = cboNickname->text();
    const QString pattern = Dates::yearPattern(cboYear->text().toInt());
    const ReportQuery query = nickname == report_.allText
                                  ? ReportQuery{report_.ofYear, {pattern}}
                                  : ReportQuery{report_.ofPropertyAndYear, {nickname, pattern}};
    const QString title = addressOf(AdoProperty, nickname).value_or(report_.allTitle);
    generate(report_.command, query, [title, heading = report_.heading](ReportLayout& layout) {
        if (!heading.isEmpty())
            layout.reportHeader.control(QStringLiteral("lblTitle"))->text = heading;
        layout.title = title;
    });
}

} // namespace halvo
