#include "select_note.h"

#include "data/dates.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "platform/desktop.h"

namespace halvo {

namespace {
const QString AllNotes = QStringLiteral("All Notes");
}

frmSelectNote::frmSelectNote(const QString& programFolder, QWidget* parent)
    : ReportSelection(programFolder, QStringLiteral("Generate Note Report"),
                      QStringLiteral("cboNickname"), QStringLiteral("Select Property:"), parent)
{
    setObjectName(QStringLiteral("frmSelectNote"));
    cboNickname = choiceList();
}

void frmSelectNote::fillLists()
{
    static_cast<void>(openLookUp(AdoProperty, Statements::PropertiesByNickname));
    fillNicknames(AdoProperty, AllNotes);
    fillYears(noteYears(Clock::today().year()));
}

// The year's notes, of one property or of all, in the order they were entered. The heading stays
// "Note Report"; the title names the property's address.
void frmSelectNote::GenerateReport_Click()
{
    const QString nickname = cboNickname->text();
    const QString pattern = Dates::yearPattern(cboYear->text().toInt());
    const ReportQuery query = nickname == AllNotes
                                  ? ReportQuery{Statements::NotesOfYear, {pattern}}
                                  : ReportQuery{Statements::NotesOfPropertyAndYear, {nickname, pattern}};
    const QString title =
        addressOf(AdoProperty, nickname).value_or(QStringLiteral("Report for All Notes"));
    generate(QStringLiteral("cmdNote"), query,
             [title](ReportLayout& report) { report.title = title; });
}

} // namespace halvo
