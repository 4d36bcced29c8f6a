#include "vendor_editor.h"

#include "data/statements.h"
#include "controls/pickers.h"
#include "editors/vendor_window.h"

#include <QCloseEvent>
#include <QLineEdit>
#include "controls/child_frame.h"

namespace halvo {

EditorDescription frmVendor::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmVendor");
    d.caption = QStringLiteral("Vendor");
    d.recordSource = Statements::VendorsByCompany;
    d.attachmentTable = QStringLiteral("tblVendor");
    d.nameFields = {QStringLiteral("txtFields(2)")};
    d.countBox = QStringLiteral("txtFields(8)");
    d.addCommand = QStringLiteral("AddVendor");
    d.addCaption = QStringLiteral("Add Vendor");
    d.fields = {
        textField(QStringLiteral("txtFields(2)"), QStringLiteral("Company:"), QStringLiteral("Company")),
        textField(QStringLiteral("txtFields(6)"), QStringLiteral("First Name:"), QStringLiteral("FirstName")),
        textField(QStringLiteral("Text3"), QStringLiteral("MI.:"), QStringLiteral("MiddleInitial"), 1),
        textField(QStringLiteral("txtFields(9)"), QStringLiteral("Last Name:"), QStringLiteral("LastName")),
        textField(QStringLiteral("txtFields(0)"), QStringLiteral("Address:"), QStringLiteral("Address")),
        textField(QStringLiteral("Text1"), QStringLiteral("City:"), QStringLiteral("City")),
        pickerField(QStringLiteral("cboState"), QStringLiteral("State:"), QStringLiteral("State"), stateList()),
        textField(QStringLiteral("Text2"), QStringLiteral("Postal Code:"), QStringLiteral("PostalCode"), 12),
        textField(QStringLiteral("txtFields(7)"), QStringLiteral("Home Phone:"), QStringLiteral("HomePhone")),
        textField(QStringLiteral("txtFields(16)"), QStringLiteral("Work Phone:"), QStringLiteral("WorkPhone")),
        textField(QStringLiteral("txtFields(14)"), QStringLiteral("Mobil Phone:"), QStringLiteral("MobilPhone")),
        textField(QStringLiteral("txtFax"), QStringLiteral("Fax:"), QStringLiteral("Fax")),
        textField(QStringLiteral("txtEmail(5)"), QString(), QStringLiteral("Email")),
        textField(QStringLiteral("txtWebSite"), QString(), QStringLiteral("WebSite")),
    };
    d.required = {{QStringLiteral("Company"), QStringLiteral("txtFields(2)")}};
    d.grid.columns = {hiddenColumn(QString(), QString()),
              gridColumn(QStringLiteral("Company"), QStringLiteral("Company"), 2500)};
    d.afterSave = EditorDescription::AfterSave::LastRecord;
    d.emailBox = QStringLiteral("txtEmail(5)");
    d.webSiteBox = QStringLiteral("txtWebSite");
    return d;
}

frmVendor::frmVendor(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
    QLineEdit* web = box(QStringLiteral("txtWebSite"));
    QPalette p = web->palette();
    p.setColor(QPalette::Text, Qt::blue);
    web->setPalette(p);
}

void frmVendor::startNewVendor()
{
    showFramed(this);
    activateWindow();
    if (!records().isOpen())
        return;
    if (records().addNew())
        box(QStringLiteral("txtFields(2)"))->setFocus();
}

void frmVendor::afterSave()
{
    QComboBox* caller = Puiblic_Module::callerPicker();
    if (!Puiblic_Module::handBackVendor(fieldText(QStringLiteral("txtFields(2)"))))
        return;
    hideFramed(this);
    // The user goes on where the vendor was asked for, in the picker that now shows it.
    if (caller)
        caller->setFocus(Qt::OtherFocusReason);
}

// Closing the window also takes back a request for a vendor that was never saved: a company
// saved later from the main window must not land in another window's record.
void frmVendor::closeEvent(QCloseEvent* event)
{
    RecordEditor::closeEvent(event);
    if (event->isAccepted())
        Puiblic_Module::CallerTag.clear();
}

} // namespace halvo
