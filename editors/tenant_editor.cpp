#include "tenant_editor.h"

#include "controls/writing_commands.h"
#include "data/connection_string.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "editors/vendor_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace halvo {

namespace {

const QString nicknameBox = QStringLiteral("txtNickname");
const QString companyBox = QStringLiteral("txtVendor(2)");
const QString addressLabel = QStringLiteral("lblRentalProperty");
const QString rentBox = QStringLiteral("txtFields(15)");
const QString percentPicker = QStringLiteral("cboMangFee");
const QString feeBox = QStringLiteral("txtFields(4)");
const QString feeFormat = QStringLiteral("$###,###.00");
const QString callerTag = QStringLiteral("tenant");

} // namespace

EditorDescription frmTenant::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmTenant");
    d.caption = QStringLiteral("Tenant");
    // The window's design names the database file without a folder.
    d.connectionString = fixedRelativeConnectionString();
    d.recordSource = Statements::TenantsByNickname;
    d.attachmentTable = QStringLiteral("tblTenant");
    d.nameFields = {QStringLiteral("txtFields(6)"), QStringLiteral("txtFields(9)")};
    d.countBox = QStringLiteral("txtFields(8)");
    d.addCommand = QStringLiteral("AddTenant");
    d.addCaption = QStringLiteral("Add Tenant");
    Field address = textField(addressLabel, QStringLiteral("Rental Property Address:"), QStringLiteral("Building"));
    address.readOnly = true;
    Field fee = moneyField(feeBox, QStringLiteral("Monthly Mgnt Fee:"), QStringLiteral("ManagementFee"));
    fee.readOnly = true;
    d.fields = {
        textField(nicknameBox, QString(), QStringLiteral("Nickname")),
        address,
        textField(QStringLiteral("txtFields(6)"), QStringLiteral("First Name:"), QStringLiteral("FirstName")),
        textField(QStringLiteral("txtMI"), QStringLiteral("MI.:"), QStringLiteral("MiddleInitial"), 1),
        textField(QStringLiteral("txtFields(9)"), QStringLiteral("Last Name:"), QStringLiteral("LastName")),
        textField(QStringLiteral("txtFields(0)"), QStringLiteral("Address:"), QStringLiteral("Address")),
        textField(QStringLiteral("Text1"), QStringLiteral("City:"), QStringLiteral("TenantCity")),
        pickerField(QStringLiteral("cboState"), QStringLiteral("State:"), QStringLiteral("TenantState"), stateList()),
        textField(QStringLiteral("Text2"), QStringLiteral("Postal Code:"), QStringLiteral("TenantPostalCode"), 12),
        textField(QStringLiteral("txtFields(7)"), QStringLiteral("Home Phone:"), QStringLiteral("HomePhone")),
        textField(QStringLiteral("txtFields(16)"), QStringLiteral("Work Phone:"), QStringLiteral("WorkPhone")),
        textField(QStringLiteral("txtFields(14)"), QStringLiteral("Mobil Phone:"), QStringLiteral("MobilPhone")),
        textField(QStringLiteral("txtFields(5)"), QString(), QStringLiteral("Email")),
        pickerField(QStringLiteral("cboOccupancy"), QStringLiteral("Occupancy:"), QStringLiteral("Occupancy"), numberList(1, 10)),
        pickerField(QStringLiteral("Combo2"), QStringLiteral("Lease Period:"), QStringLiteral("LeasePeriod"),
                    {"1 year", "2 year", "3 year", "4 year", "5 year", "1 month", "3 month", "6 month",
                     "month-to-month"}),
        dateField(QStringLiteral("DTPicker3"), QStringLiteral("Lease Start Date:"), QStringLiteral("LeaseStartDate")),
        moneyField(rentBox, QStringLiteral("Monthly Rent:"), QStringLiteral("MonthlyRentAmt")),
        moneyField(QStringLiteral("txtFields(3)"), QStringLiteral("Security Deposit:"), QStringLiteral("DepAmt")),
        dateField(QStringLiteral("DTPicker1"), QStringLiteral("Security Dep. Date:"), QStringLiteral("DepPaidDate")),
        textField(companyBox, QString(), QStringLiteral("Company")),
        textField(QStringLiteral("txtFields(13)"), QStringLiteral("Property ID:"), QStringLiteral("ManagementIDNo")),
        pickerField(percentPicker, QStringLiteral("Management Fee:"), QStringLiteral("ManagementPercent"), numberList(0, 20)),
        fee,
    };
    d.mirrors = {
        {QStringLiteral("cboNickname"), nicknameBox, QStringLiteral("Property:"), {},
         Statements::PropertiesByNickname, QStringLiteral("BldNickName")},
        {QStringLiteral("cboVendor"), companyBox, QStringLiteral("Property Management Company:"), {},
         Statements::VendorsByCompany, QStringLiteral("Company")},
    };
    d.required = {{QStringLiteral("First Name"), QStringLiteral("txtFields(6)")},
                  {QStringLiteral("Last Name"), QStringLiteral("txtFields(9)")},
                  {QStringLiteral("Address"), QStringLiteral("txtFields(0)")},
                  {QStringLiteral("Property"), QStringLiteral("cboNickname")},
                  {QStringLiteral("Monthly Rent"), rentBox}};
    d.grid.columns = {gridColumn(QStringLiteral("Property"), QStringLiteral("Nickname"), 1200),
                      hiddenColumn(QString(), QStringLiteral("Building"))};
    d.grid.widthTwips = 1900;
    d.emailBox = QStringLiteral("txtFields(5)");
    return d;
}

frmTenant::frmTenant(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
    // The address shows as a label would: it follows the property chosen, never typed.
    QLineEdit* address = box(addressLabel);
    address->setFocusPolicy(Qt::NoFocus);
    address->setFrame(false);
    box(feeBox)->setFocusPolicy(Qt::NoFocus);
    box(QStringLiteral("txtFields(13)"))->setAlignment(Qt::AlignCenter);

    auto* percent = new QLabel(QStringLiteral("%"), this);
    addBeside(percentPicker, percent);

    auto* addCompany = writesBooks(new QToolButton(this));
    addCompany->setObjectName(QStringLiteral("cmdAddMgntCompany"));
    addCompany->setText(QStringLiteral("..."));
    addCompany->setAccessibleName(tr("Add a management company"));
    addCompany->setToolTip(tr("Add a management company"));
    connect(addCompany, &QToolButton::clicked, this, &frmTenant::cmdAddMgntCompany_Click);
    addBeside(QStringLiteral("cboVendor"), addCompany);

    Puiblic_Module::registerVendorPicker(callerTag, picker(QStringLiteral("cboVendor")));
}

void frmTenant::cmdAddMgntCompany_Click() { Puiblic_Module::OpenVendorWindow(callerTag); }

// Refresh reads the property and company lists again.
void frmTenant::afterRefresh() { fillPickers(); }

void frmTenant::recordShown() { showManagementFee(); }

void frmTenant::fieldEdited(const QString& control)
{
    if (control == nicknameBox)
        showRentalAddress();
    if (control == percentPicker || control.startsWith(QLatin1String("txtFields(")))
        showManagementFee();
}

// The address of the property chosen, found by its nickname exactly as written; a nickname no
// longer kept leaves the address as it was.
void frmTenant::showRentalAddress()
{
    if (!connection())
        return;
    const Result<Rows> rows = connection()->select(Statements::PropertiesByNickname);
    if (!rows)
        return;
    const QString chosen = fieldText(nicknameBox);
    const QStringList& columns = rows.value().columns;
    const int name = columns.indexOf(QStringLiteral("BldNickName"));
    const int address = columns.indexOf(QStringLiteral("BldPropAddress"));
    for (const QVariantList& row : rows.value().values) {
        if (row.value(name).toString() == chosen) {
            setFieldText(addressLabel, row.value(address).toString());
            return;
        }
    }
}

std::optional<Money> frmTenant::managementFee(const QString& rent, const QString& percent)
{
    const Result<Money> rate = Money::parse(percent);
    if (!rate)
        return std::nullopt;
    if (!(rate.value() > Money()))
        return Money();
    const Result<Money> monthly = Money::parse(rent);
    if (!monthly)
        return std::nullopt;
    // rent × percentage ÷ 100, rounded to the ten-thousandth, half away from zero.
    const __int128 product = __int128(monthly.value().units()) * rate.value().units();
    const __int128 divisor = __int128(100) * Money::Scale;
    const __int128 half = product < 0 ? -divisor / 2 : divisor / 2;
    return Money::fromUnits(std::int64_t((product + half) / divisor));
}

// The fee follows the rent and the percentage; when either is empty or not a number the box
// keeps what it showed. A fee already right is left alone, so browsing changes no record.
void frmTenant::showManagementFee()
{
    const std::optional<Money> fee =
        managementFee(fieldText(rentBox), fieldText(percentPicker));
    if (!fee)
        return;
    const QString text = fee->isZero() ? QStringLiteral("$0.00") : fee->format(feeFormat);
    const Result<Money> shown = Money::parse(fieldText(feeBox));
    if (shown && shown.value() == *fee)
        return;
    setFieldText(feeBox, text);
}

} // namespace halvo
