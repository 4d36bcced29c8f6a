#include "mileage_window.h"

#include "data/dates.h"
#include "data/statements.h"
#include "platform/desktop.h"
#include "platform/prompts.h"

#include <QLocale>

namespace halvo {

namespace {

const QString dateBox = QStringLiteral("DTPicker1");
const QString propertyPicker = QStringLiteral("cboNickname");
const QString propertyBox = QStringLiteral("txtNickname");
const QString purposeBox = QStringLiteral("txtPurpose");
const QString milesBox = QStringLiteral("txtMiles");

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
    d.blankRecordWhenEmpty = false;
    d.afterSave = EditorDescription::AfterSave::Stay;
    return d;
}

frmMileage::frmMileage(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
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
