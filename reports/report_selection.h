#pragma once
// What the three windows that choose a report's contents share: a list to choose what the report
// covers (a property or a category) under its label, the year list under "Year:", the link
// "Generate Report", their place in the frame, and the steps that prepare and show the report.
// Both lists take no typed keys: what they show is always one of their entries. The lists are
// built once, when the window is loaded; a window that has shown its report hides itself and is
// shown again with its last choices.

#include "data/record_set.h"
#include "reports/data_environment.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class VeyHyperLinkLabel;

namespace halvo {

class Picker;

// The years of the income and the category report: the current year, then each year before it
// down to 2000 ("2026", "2025", ..., "2000").
QStringList yearsDownTo2000(int currentYear);
// The years of the notes report: the current year, then every year from 2000 up to the year
// after the current one, so that the current year stands twice ("2026", "2000", ..., "2026",
// "2027").
QStringList noteYears(int currentYear);

// Prepares a command and shows its report, telling the user through the prompts when the database
// or the query fails; then nothing is shown. `setHeadings` sets the report's heading and title
// once the rows are there. The preview is a window of its own over `previewParent` (if any);
// a message stands over `messageParent`, or else over the preview's parent. True when the report
// is shown.
bool showReport(const QString& dataFolder, const QString& commandName,
                const std::optional<ReportQuery>& query,
                const std::function<void(ReportLayout&)>& setHeadings, QWidget* previewParent,
                QWidget* messageParent = nullptr);
// A list report (cmdProperty, cmdTenant, cmdLoan, cmdVendor): its stored query, no heading or
// title to set.
bool showListReport(const QString& dataFolder, const QString& commandName, QWidget* parent);

class ReportSelection : public QWidget {
    Q_OBJECT
public:
    ~ReportSelection() override;

    QString dataFolder() const { return folder; }
    bool isLoaded() const { return loaded; }

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    Picker* cboYear = nullptr;
    VeyHyperLinkLabel* GenerateReport = nullptr;

    // Loads the window: its place and its lists. Runs once, when it is first shown.
    void Form_Load();
    virtual void GenerateReport_Click() = 0;

protected:
    // `listName` and `listLabel` name the first list and its label ("cboNickname",
    // "Select Property:"); with no name the window has the year alone, and Label1 stays null.
    ReportSelection(const QString& dataFolder, const QString& caption, const QString& listName,
                    const QString& listLabel, QWidget* parent);

    Picker* choiceList() const { return choice; }
    // Fills both lists from the database and the clock.
    virtual void fillLists() = 0;
    void fillYears(const QStringList& years);
    // Opens a look-up record set on the data folder's database, as the editors open theirs.
    Status openLookUp(RecordSet& set, const QString& source);
    // The window's connection to the data folder's database, opened the first time.
    Result<Connection> database();
    // A further command beside Generate Report, after it in the Tab order.
    void addCommand(VeyHyperLinkLabel* link);
    // The property list: `allText` selected, then every nickname in the look-up's order (a row
    // with no nickname adds none).
    void fillNicknames(RecordSet& properties, const QString& allText);
    // The first property in the look-up's order whose nickname is exactly `nickname` gives its
    // address; none when no property has it.
    static std::optional<QString> addressOf(RecordSet& properties, const QString& nickname);

    // Prepares the command with the query and shows its report; the window hides itself once
    // the report is shown, and stays as it is when the report could not be made.
    bool generate(const QString& commandName, const ReportQuery& query,
                  const std::function<void(ReportLayout&)>& setHeadings);

    void showEvent(QShowEvent* event) override;
    // Hidden once its report is shown, to be shown again with its choices.
    void hideWindow();

private:
    QString folder;
    Picker* choice = nullptr;
    std::optional<Connection> db;
    bool loaded = false;
    QWidget* lastCommand = nullptr;

    void place();
};

} // namespace halvo
