#include "loan_editor.h"

#include "data/statements.h"
#include "controls/pickers.h"

#include <QLineEdit>

namespace halvo {

namespace {
const QString valueBox = QStringLiteral("txtBldValue(27)");
const QString balanceBox = QStringLiteral("txtLoanAmount");
const QString equityBox = QStringLiteral("txtEquity(23)");
const QString equityFormat = QStringLiteral("$#,###,###.00");
} // namespace

EditorDescription frmLoan::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmLoan");
    d.caption = QStringLiteral("Mortgage Loan");
    d.recordSource = Statements::LoansByNickname;
    d.attachmentTable = QStringLiteral("tblLoan");
    d.nameFields = {QStringLiteral("txtNickname(0)"), QStringLiteral("txtFields(15)"), QStringLiteral("txtFields(16)")};
    d.countBox = QStringLiteral("txtFields(30)");
    d.addCommand = QStringLiteral("AddLoan");
    d.addCaption = QStringLiteral("Add Company");
    Field equityField = moneyField(equityBox, QStringLiteral("Equity:"), QStringLiteral("Equity"));
    equityField.readOnly = true;
    d.fields = {
        textField(QStringLiteral("txtNickname(0)"), QString(), QStringLiteral("NickName")),
        textField(QStringLiteral("txtFields(15)"), QStringLiteral("Finance Company:"), QStringLiteral("LoanInfo")),
        textField(QStringLiteral("txtFields(32)"), QStringLiteral("Address:"), QStringLiteral("LoanAddress")),
        textField(QStringLiteral("Text2"), QStringLiteral("City:"), QStringLiteral("City")),
        pickerField(QStringLiteral("cboState"), QStringLiteral("State:"), QStringLiteral("State"), stateList()),
        textField(QStringLiteral("Text3"), QStringLiteral("Postal Code:"), QStringLiteral("PostalCode"), 12),
        textField(QStringLiteral("txtFields(13)"), QStringLiteral("Contact:"), QStringLiteral("LoanContact")),
        textField(QStringLiteral("txtFields(14)"), QStringLiteral("Phone:"), QStringLiteral("LoanContactPhone")),
        textField(QStringLiteral("txtEmail"), QString(), QStringLiteral("Email")),
        textField(QStringLiteral("txtWebSite"), QString(), QStringLiteral("WebSite")),
        textField(QStringLiteral("txtFields(16)"), QStringLiteral("Loan No:"), QStringLiteral("LoanNo")),
        textField(QStringLiteral("txtLoanType"), QString(), QStringLiteral("LoanType")),
        dateField(QStringLiteral("DTPicker2"), QStringLiteral("Date of Loan:"), QStringLiteral("LoanDate")),
        numberField(QStringLiteral("txtIntRate"), QStringLiteral("Interest Rate:"), QStringLiteral("IntRate"),
                    QStringLiteral("0.00")),
        moneyField(balanceBox, QStringLiteral("Loan Balance:"), QStringLiteral("LoanAmt")),
        moneyField(QStringLiteral("txtFields(33)"), QStringLiteral("Mortgage Pmt."), QStringLiteral("Mortgage")),
        moneyField(valueBox, QStringLiteral("Market Value:"), QStringLiteral("Value")),
        equityField,
    };
    d.mirrors = {
        {QStringLiteral("cboNickName"), QStringLiteral("txtNickname(0)"), QStringLiteral("Property:"),
         {}, Statements::PropertiesByNickname, QStringLiteral("BldNickName")},
        {QStringLiteral("cboLoanType"), QStringLiteral("txtLoanType"), QStringLiteral("Loan Type:"),
         {QStringLiteral("Conventional"), QStringLiteral("FHA"), QStringLiteral("VA"), QStringLiteral("Other")},
         {}, {}},
    };
    d.required = {{QStringLiteral("Finance Company"), QStringLiteral("txtFields(15)")},
                  {QStringLiteral("Address"), QStringLiteral("txtFields(32)")},
                  {QStringLiteral("Market Value"), valueBox},
                  {QStringLiteral("Property"), QStringLiteral("txtNickname(0)")},
                  {QStringLiteral("Loan Balance"), balanceBox},
                  {QStringLiteral("Interest Rate"), QStringLiteral("txtIntRate")}};
    d.grid.columns = {gridColumn(QStringLiteral("Property"), QStringLiteral("NickName"), 1200),
              hiddenColumn(QString(), QStringLiteral("LoanInfo"))};
    d.grid.widthTwips = 1900;
    d.afterSave = EditorDescription::AfterSave::LastRecord;
    // The caption keeps its own text here; it does not follow the record.
    d.showPosition = false;
    d.emailBox = QStringLiteral("txtEmail");
    d.webSiteBox = QStringLiteral("txtWebSite");
    return d;
}

frmLoan::frmLoan(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
    box(equityBox)->setFocusPolicy(Qt::NoFocus);
}

std::optional<Money> frmLoan::equity(const QString& marketValue, const QString& balance)
{
    const Result<Money> value = Money::parse(marketValue);
    const Result<Money> owed = Money::parse(balance);
    if (!value || !owed)
        return std::nullopt;
    return value.value() - owed.value();
}

// The equity follows the market value and the balance as they are typed; a box that does not
// hold an amount leaves the equity as it stood.
void frmLoan::showEquity()
{
    const std::optional<Money> e = equity(fieldText(valueBox), fieldText(balanceBox));
    if (!e)
        return;
    const Result<Money> shown = Money::parse(fieldText(equityBox));
    if (shown && shown.value() == *e)
        return; // already right: browsing a record does not change it
    setFieldText(equityBox, e->format(equityFormat));
}

void frmLoan::recordShown() { showEquity(); }

void frmLoan::fieldEdited(const QString& control)
{
    if (control == valueBox || control == balanceBox)
        showEquity();
}

void frmLoan::prepareSave() { showEquity(); }

} // namespace halvo
