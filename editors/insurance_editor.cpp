#include "insurance_editor.h"

#include "data/statements.h"
#include "controls/pickers.h"

#include <QLineEdit>

namespace halvo {

namespace {
const QString premiumBox = QStringLiteral("txtFields(29)");
} // namespace

EditorDescription frmInsurance::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmInsurance");
    d.caption = QStringLiteral("Insurance Information");
    d.recordSource = Statements::PoliciesByNickname;
    d.attachmentTable = QStringLiteral("tblInsurance");
    d.nameFields = {QStringLiteral("txtNickname"), QStringLiteral("txtFields(10)"), QStringLiteral("txtFields(8)")};
    d.countBox = QStringLiteral("txtFields(30)");
    d.addCommand = QStringLiteral("AddInsuranceCompany");
    d.addCaption = QStringLiteral("Add Company");
    d.fields = {
        textField(QStringLiteral("txtNickname"), QString(), QStringLiteral("Nickname")),
        textField(QStringLiteral("txtFields(10)"), QStringLiteral("Insurance Company:"), QStringLiteral("InsuranceInfo")),
        textField(QStringLiteral("txtFields(31)"), QStringLiteral("Address:"), QStringLiteral("InsAddress")),
        textField(QStringLiteral("Text2"), QStringLiteral("City:"), QStringLiteral("City")),
        pickerField(QStringLiteral("cboState"), QStringLiteral("State:"), QStringLiteral("State"), stateList()),
        textField(QStringLiteral("Text3"), QStringLiteral("Postal Code:"), QStringLiteral("PostalCode"), 12),
        textField(QStringLiteral("txtFields(6)"), QStringLiteral("Contact:"), QStringLiteral("InsContact")),
        textField(QStringLiteral("txtFields(7)"), QStringLiteral("Phone:"), QStringLiteral("InsContactPhone")),
        textField(QStringLiteral("txtFax"), QStringLiteral("Fax:"), QStringLiteral("Fax")),
        textField(QStringLiteral("txtEmail"), QString(), QStringLiteral("Email")),
        textField(QStringLiteral("txtWebSite"), QString(), QStringLiteral("WebSite")),
        textField(QStringLiteral("txtFields(8)"), QStringLiteral("Policy No:"), QStringLiteral("InsPolicyNo")),
        pickerField(QStringLiteral("Combo3"), QStringLiteral("Insurance Type:"), QStringLiteral("InsType"),
                    {"Homeowners Insurance", "Renters Insurance", "Fire Insurance", "Hazard Insurance",
                     "Flood Insurance", "Other"}),
        dateField(QStringLiteral("DTPicker3"), QStringLiteral("Date of Policy:"), QStringLiteral("InsDate")),
        moneyField(premiumBox, QStringLiteral("Annual Ins. Amt."), QStringLiteral("HomeOwnersIns")),
    };
    d.mirrors = {{QStringLiteral("cboNickname"), QStringLiteral("txtNickname"), QStringLiteral("Property:"),
                  {}, Statements::PropertiesByNickname, QStringLiteral("BldNickName")}};
    d.required = {{QStringLiteral("Insurance Company"), QStringLiteral("txtFields(10)")},
                  {QStringLiteral("Property"), QStringLiteral("cboNickname")}};
    d.grid.columns = {gridColumn(QStringLiteral("Property"), QStringLiteral("NickName"), 1200),
                      hiddenColumn(QStringLiteral("Insurance Comapny"), QStringLiteral("InsuranceInfo"))};
    d.grid.widthTwips = 1900;
    d.emailBox = QStringLiteral("txtEmail");
    d.webSiteBox = QStringLiteral("txtWebSite");
    return d;
}

frmInsurance::frmInsurance(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
    box(premiumBox)->setText(QStringLiteral("$ 0.00")); // until a record is shown
}

} // namespace halvo
