#include "mileage_window.h"

#include "data/dates.h"
#include "data/statements.h"
#include "platform/desktop.h"
#include "controls/links.h"
#include "controls/writing_commands.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "ledger/csv_mapping_window.h"
#include "ledger/statement_commands.h"
#include "platform/prompts.h"
#include "tax/mileage.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLocale>
#include <cmath>

namespace halvo {

namespace {

const QString dateBox = QStringLiteral("DTPicker1");
const QString propertyPicker = QStringLiteral("cboNickname");
const QString propertyBox = QStringLiteral("txtNickname");
const QString purposeBox = QStringLiteral("txtPurpose");
const QString milesBox = QStringLiteral("txtMiles");
const QString ImportTitle = QStringLiteral("Import Trips");

// The trips in the order they were made; trips of one day in the order they were entered.
const QString TripsInOrder =
    QStringLiteral("SELECT * FROM tblMileage ORDER BY TripDate ASC, ID ASC");

QList<GridColumn> gridColumns()
{
    GridColumn miles = gridColumn(QStringLiteral("Miles"), QStringLiteral("Miles"), 900);
    miles.alignment = Qt::AlignRight;
    return {gridColumn(QStringLiteral("Date"), QStringLiteral("TripDate"), 1200),
            gridColumn(QStringLiteral("Property"), QStringLiteral("NickName"), 1200),
            gridColumn(QStringLiteral("Purpose"), QStringLiteral("Purpose"), 4000), miles};
}

} // namespace

// In the order a trip is written down: when, for which property, what for, how far.
EditorDescription frmMileage::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmMileage");
    d.caption = QStringLiteral("Mileage Log");
    d.recordSource = TripsInOrder;
    d.addCommand = QStringLiteral("AddTrip");
    d.addCaption = QStringLiteral("Add Trip");
    d.fields = {
        dateField(dateBox, QStringLiteral("Date:"), QStringLiteral("TripDate")),
        textField(propertyBox, QString(), QStringLiteral("NickName")),
        textField(purposeBox, QStringLiteral("Purpose:"), QStringLiteral("Purpose")),
        numberField(milesBox, QStringLiteral("Miles:"), QStringLiteral("Miles"),
                    QStringLiteral("0.0")),
    };
    MirroredPicker property{propertyPicker, propertyBox, QStringLiteral("Property:"), {},
                            Statements::PropertiesByNickname, QStringLiteral("BldNickName")};
    property.boxShown = MirroredPicker::BoxShown::Hidden;
    d.mirrors = {property};
    d.required = {{QStringLiteral("Miles"), milesBox}};
    d.grid.below = true;
    d.grid.columns = gridColumns();
    // An empty log opens on a blank trip, as the record windows do: what the user types before
    // any trip exists is a trip to save, never lost to a Save that has no record to write.
    d.afterSave = EditorDescription::AfterSave::Stay;
    return d;
}

frmMileage::frmMileage(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
    setProperty("helpTopic", QStringLiteral("mileage")); // F1 opens its section of the guide
    VeyHyperLinkLabel* importTrips =
        writesBooks(makeLink(this, QStringLiteral("ImportTrips"), QStringLiteral("Import Trips...")));
    connect(importTrips, &VeyHyperLinkLabel::Click, this, &frmMileage::ImportTrips_Click);
    extraArea()->addWidget(importTrips, 0, 0);
    extraArea()->setRowStretch(1, 1);
}

void frmMileage::ImportTrips_Click()
{
    if (!connection())
        return;
    const QString path = prompts().openFileName(this, ImportTitle, QDir::homePath(),
                                                QStringLiteral("CSV files (*.csv *.txt);;All "
                                                               "files (*)"));
    if (path.isEmpty())
        return;
    Result<QByteArray> bytes = readStatementFile(path);
    if (!bytes) {
        prompts().message(this, bytes.error().description, ImportTitle, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    frmCsvMapping mapping(*connection(), bytes.value(), this);
    if (mapping.exec() != QDialog::Accepted)
        return;
    if (Result<Statement> read = mapping.statement())
        importTrips(read.value(), QFileInfo(path).fileName());
}

// Miles are written as the file writes them; a file that marks them as money out (negative)
// still means miles driven, so their size is what counts.
void frmMileage::importTrips(const Statement& statement, const QString& fileName)
{
    if (!connection())
        return;
    QList<Trip> trips;
    for (const StatementLine& line : statement.lines)
        trips.append({line.date, line.memo, line.payee,
                      std::abs(double(line.amount.units())) / double(Money::Scale)});
    Result<int> added = addTrips(*connection(), trips);
    if (!added) {
        prompts().message(this, added.error().description, ImportTitle, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    Refresh();
    prompts().message(this, QStringLiteral("%1 trips were imported from \"%2\".")
                                .arg(added.value())
                                .arg(fileName),
                      ImportTitle);
}

// A new trip is made today, until the user picks its day.
void frmMileage::newRecordAdded()
{
    setFieldText(dateBox, Dates::format(Clock::today(), Dates::ShortDate));
    focusFirstField();
}

// A trip is never stored without a date (it would fall in no tax year), nor with miles that are
// no number (they would count as none).
bool frmMileage::checkBeforeSave()
{
    if (records().absolutePosition() == 0)
        return false; // no trip to save: the command ends quietly
    if (fieldText(dateBox).isEmpty())
        setFieldText(dateBox, Dates::format(Clock::today(), Dates::ShortDate));
    if (!requiredFieldsFilled())
        return false;
    bool isNumber = false;
    QLocale::c().toDouble(fieldText(milesBox).trimmed().remove(QLatin1Char(',')), &isNumber);
    if (!isNumber) {
        prompts().message(this, QStringLiteral("Miles: \"%1\" is not a number of miles.")
                                    .arg(fieldText(milesBox)));
        return false;
    }
    return true;
}

void frmMileage::afterSave() { showCurrentRecord(); }

} // namespace halvo
