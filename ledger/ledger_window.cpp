#include "ledger_window.h"

#include "controls/figure_names.h"

#include "data/dates.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "editors/vendor_window.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "rentroll/rent_roll.h"
#include "summary/portfolio_summary.h"

#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>

namespace halvo {

namespace {

const QString refBox = QStringLiteral("txtRefNo");
const QString datePickerName = QStringLiteral("DTPicker3");
const QString dateBox = QStringLiteral("txtDate");
const QString amountBox = QStringLiteral("txtAmount");
const QString memoBox = QStringLiteral("txtMemo");
const QString vendorPicker = QStringLiteral("cboVendor");
const QString vendorBox = QStringLiteral("txtVendor");
const QString categoryPicker = QStringLiteral("cboCategory");
const QString categoryBox = QStringLiteral("txtCategory");
const QString propertyPicker = QStringLiteral("cboNickname");
const QString propertyBox = QStringLiteral("txtNickname");

// Tells a waiting vendor editor that no window wants its company any more.
const QString noCaller = QStringLiteral("1");

QString todayText() { return Dates::format(Clock::today(), Dates::ShortDate); }

LedgerKind makeIncome()
{
    LedgerKind k;
    k.name = QStringLiteral("frmIncome");
    k.caption = QStringLiteral("Income Record");
    k.recordSource = Statements::IncomeRows;
    k.amountColumn = QStringLiteral("Income");
    k.otherAmountColumn = QStringLiteral("Expense");
    k.categorySource = Statements::CategoriesByIncome;
    k.payeeLabel = QStringLiteral("INCOME RECEIVED:");
    k.addCommand = QStringLiteral("AddIncome");
    k.addCaption = QStringLiteral("Add Income");
    k.totalHeading = QStringLiteral("Total Income");
    k.balanceDesign = QStringLiteral("Profit/Loss: $0.00");
    k.vendorCaller = QStringLiteral("income");
    return k;
}

LedgerKind makeExpense()
{
    LedgerKind k;
    k.name = QStringLiteral("frmExpense");
    k.caption = QStringLiteral("Expense Record");
    k.recordSource = Statements::ExpenseRows;
    k.amountColumn = QStringLiteral("Expense");
    k.otherAmountColumn = QStringLiteral("Income");
    k.categorySource = Statements::CategoriesByExpense;
    k.payeeLabel = QStringLiteral("PAY TO THE ORDER OF:");
    k.addCommand = QStringLiteral("AddExpense");
    k.addCaption = QStringLiteral("Add Expense");
    k.totalHeading = QStringLiteral("Total Expense");
    k.balanceDesign = QStringLiteral("Balance: $0.00");
    k.vendorCaller = QStringLiteral("expense");
    k.expense = true;
    return k;
}

// Every column of the transactions shows under its own name, except those changed here.
QList<GridColumn> gridChanges(const LedgerKind& kind)
{
    GridColumn amount = gridColumn(kind.amountColumn, kind.amountColumn, 1000);
    amount.alignment = Qt::AlignRight;
    amount.format = QStringLiteral("$0.00");
    return {gridColumn(QStringLiteral("Ref No."), QStringLiteral("CheckNo"), 1000),
            gridColumn(QStringLiteral("Date"), QStringLiteral("RecDate"), 1200),
            gridColumn(QStringLiteral("Payee"), QStringLiteral("Payee")),
            amount,
            hiddenColumn(QString(), kind.otherAmountColumn),
            gridColumn(QStringLiteral("Property"), QStringLiteral("NickName"), 1000),
            gridColumn(QStringLiteral("Memo"), QStringLiteral("Memo"), 2500)};
}

} // namespace

const LedgerKind& incomeKind()
{
    static const LedgerKind kind = makeIncome();
    return kind;
}

const LedgerKind& expenseKind()
{
    static const LedgerKind kind = makeExpense();
    return kind;
}

QString profitLine(int year, const Money& income, const Money& expense)
{
    return QString::number(year) + QStringLiteral(" P/L: ")
           + (income - expense).format(MoneyFormat::Summary);
}

bool isLoanPayment(const QString& category)
{
    return category.startsWith(QLatin1String("4000"), Qt::CaseSensitive);
}

// The fields in the order the two columns show them: which number, when, for which property,
// from or to whom; then how much, what for, and a note. In this order every label gets an Alt
// key of its own in both windows.
EditorDescription LedgerWindow::describe(const LedgerKind& kind)
{
    EditorDescription d;
    d.name = kind.name;
    d.caption = kind.caption;
    d.recordSource = kind.recordSource;
    d.addCommand = kind.addCommand;
    d.addCaption = kind.addCaption;
    d.fields = {
        textField(refBox, QStringLiteral("Ref No.:"), QStringLiteral("CheckNo")),
        dateField(datePickerName, QStringLiteral("Date:"), QStringLiteral("RecDate")),
        hiddenField(dateBox, QStringLiteral("RecDate")),
        textField(propertyBox, QString(), QStringLiteral("NickName")),
        textField(vendorBox, QString(), QStringLiteral("Payee")),
        moneyField(amountBox, QStringLiteral("Amt.:"), kind.amountColumn),
        textField(categoryBox, QString(), QStringLiteral("Category")),
        textField(memoBox, QStringLiteral("Memo:"), QStringLiteral("Memo")),
    };
    // In the order they are filled: payees, properties, categories.
    auto mirror = [](const QString& picker, const QString& box, const QString& label,
                     const QString& source, const QString& column) {
        MirroredPicker m{picker, box, label, {}, source, column};
        m.boxShown = MirroredPicker::BoxShown::Hidden;
        return m;
    };
    d.mirrors = {
        mirror(vendorPicker, vendorBox, kind.payeeLabel, Statements::VendorsByCompany,
               QStringLiteral("Company")),
        mirror(propertyPicker, propertyBox, QStringLiteral("Property:"),
               Statements::PropertiesByNickname, QStringLiteral("BldNickName")),
        mirror(categoryPicker, categoryBox, QStringLiteral("Category:"), kind.categorySource,
               kind.amountColumn),
    };
    // Both windows name the payee as the expense window labels it.
    d.required = {{QStringLiteral("Amt"), amountBox},
                  {QStringLiteral("PAY TO THE ORDER OF"), vendorPicker}};
    d.grid.allColumns = true;
    d.grid.below = true;
    d.grid.columns = gridChanges(kind);
    d.blankRecordWhenEmpty = false;
    d.afterSave = EditorDescription::AfterSave::Stay;
    d.attachmentTable = QStringLiteral("tblFinance");
    d.nameFields = {datePickerName, vendorBox, amountBox};
    return d;
}

LedgerWindow::LedgerWindow(const LedgerKind& kind, const QString& dataFolder,
                           LedgerContext ledgerContext, QWidget* parent)
    : RecordEditor(describe(kind), dataFolder, parent)
    , kind_(kind)
    , context(std::move(ledgerContext))
    , summary(context.summary)
{
    QToolButton* addVendor = createSmallButton(QStringLiteral("cmdAddVendor"), tr("Add a vendor"));
    connect(addVendor, &QToolButton::clicked, this, &LedgerWindow::cmdAddVendor_Click);
    addBeside(vendorPicker, addVendor);
    QToolButton* addMemo =
        createSmallButton(QStringLiteral("cmdAddMemo"), tr("Edit the income and expense categories"));
    connect(addMemo, &QToolButton::clicked, this, &LedgerWindow::cmdAddMemo_Click);
    addBeside(categoryPicker, addMemo);
    Puiblic_Module::registerVendorPicker(kind.vendorCaller, picker(vendorPicker));
    if (!kind.expense)
        createTenantPicker();

    createTotals();
    if (summary)
        connect(summary, &PortfolioSummary::changed, this, &LedgerWindow::showTotals);
    showTotals();
}

QToolButton* LedgerWindow::createSmallButton(const QString& name, const QString& purpose)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(QStringLiteral("..."));
    button->setAccessibleName(purpose);
    button->setToolTip(purpose);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

// The heading, the year's total of the kind and the profit line, beside the fields.
void LedgerWindow::createTotals()
{
    lbltitle = new QLabel(kind_.totalHeading, this);
    lbltitle->setObjectName(QStringLiteral("lbltitle"));
    lblTotal = new QLabel(QStringLiteral("$ 0.00 "), this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    lblBalance = new QLabel(kind_.balanceDesign, this);
    lblBalance->setObjectName(QStringLiteral("lblBalance"));
    QFont heading = lbltitle->font();
    heading.setBold(true);
    lbltitle->setFont(heading);
    QFont total = heading;
    total.setPointSizeF(heading.pointSizeF() * 1.5);
    lblTotal->setFont(total);
    // As wide as the largest total from the start, so that the fields beside it do not move
    // when a total grows.
    lblTotal->setMinimumWidth(
        QFontMetrics(total).horizontalAdvance(QStringLiteral("-$999,999,999.99 ")));
    lblTotal->setAccessibleName(readsAs(kind_.totalHeading, lblTotal->text()));
    for (QLabel* label : {lbltitle, lblTotal, lblBalance}) {
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    QGridLayout* area = extraArea();
    area->setContentsMargins(16, 0, 0, 0);
    area->addWidget(lbltitle, 0, 0);
    area->addWidget(lblTotal, 1, 0);
    area->addWidget(lblBalance, 2, 0);
    area->setRowStretch(3, 1);
}

// The totals as the summary last computed them. Until the summary has computed any (or
// without it), the labels keep their design texts.
void LedgerWindow::showTotals()
{
    if (!summary || !summary->isComputed())
        return;
    const PortfolioFigures& f = summary->figures();
    lblBalance->setText(profitLine(f.year, f.income, f.expense));
    // The expense window writes its total after a minus, as a debit.
    const QString total = kind_.expense
                              ? QStringLiteral("-") + f.expense.format(MoneyFormat::Summary)
                              : f.income.format(MoneyFormat::Summary);
    // A screen reader hears the figure as it is shown: "Total Income: $1,200.00".
    showFigure(lblTotal, kind_.totalHeading, total + QLatin1Char(' '));
}

DatePicker* LedgerWindow::datePicker() const
{
    return qobject_cast<DatePicker*>(control(datePickerName));
}

// ---- opening ----

// The window opens on the last transaction; an empty list is no error.
void LedgerWindow::afterOpen()
{
    fillTenants();
    runCommand([this] { moveLast(); });
    showTotals();
}

// ---- a month shown ----

namespace {

// The month's stretch of stored dates, from its first day to the next month's. After December
// 9999, which no date passes, the bound is a text after every stored date.
QVariantList monthRange(int year, int month)
{
    const QDate first(year, month, 1);
    const QDate next = first.addMonths(1);
    return {Dates::toStored(first),
            Dates::isStorable(next) ? Dates::toStored(next) : QStringLiteral("9999-12-32")};
}

} // namespace

bool LedgerWindow::showMonth(int year, int month, const QString& property)
{
    if (!records().isOpen() || !connection() || month < 1 || month > 12
        || !Dates::isStorable(QDate(year, month, 1)))
        return false;
    QString condition =
        kind_.amountColumn + QStringLiteral(" <> 0 AND RecDate >= ? AND RecDate < ?");
    QVariantList params = monthRange(year, month);
    if (!property.isEmpty()) {
        condition += QStringLiteral(" AND NickName = ?");
        params.append(property);
    }
    Result<int> position = records().firstPositionWhere(condition, params);
    if (position && position.value() == 0) {
        const Result<QVariant> inFile = connection()->scalar(
            QStringLiteral("SELECT 1 FROM tblFinance WHERE %1 LIMIT 1").arg(condition), params);
        if (inFile && !inFile.value().isNull()) {
            Refresh();
            position = records().firstPositionWhere(condition, params);
        }
    }
    if (!position) {
        prompts().message(this, QStringLiteral("Data error event hit err:")
                                    + position.error().description);
        return false;
    }
    if (position.value() == 0) {
        const QString kind = kind_.amountColumn.toLower();
        const QString when = QStringLiteral("%1 %2").arg(QLocale::c().monthName(month)).arg(year);
        const QString text = property.isEmpty()
                                 ? QStringLiteral("There is no %1 record for %2.").arg(kind, when)
                                 : QStringLiteral("There is no %1 record for %2 in %3.")
                                       .arg(kind, property, when);
        prompts().message(this, text);
        return false;
    }
    return moveTo(position.value());
}

// ---- Add ----

// The new transaction shows today in the date picker. The date goes into the record with the
// first thing typed or chosen for it, so that a new transaction left untouched is dropped like
// any untouched blank record, rather than stored as an empty row with a date.
void LedgerWindow::newRecordAdded()
{
    if (DatePicker* date = datePicker())
        date->setValue(Clock::today());
    layOutGrid();
    RecordEditor::newRecordAdded();
}

void LedgerWindow::fieldEdited(const QString& control)
{
    if (control != datePickerName && control != dateBox
        && records().editMode() == RecordSet::EditMode::Adding)
        giveDate(DateWhenEmpty::Leave);
}

// The one step that writes the transaction's date: a record without a date takes the picker's.
// At Save an empty picker first shows today, so that no transaction is stored without a date;
// while typing, a date the user emptied stays empty until then. The picker and the hidden box
// show the same column, so the date a user picked is what both hold, and what is stored.
void LedgerWindow::giveDate(DateWhenEmpty whenEmpty)
{
    DatePicker* date = datePicker();
    if (!date)
        return;
    if (date->isEmpty()) {
        if (whenEmpty == DateWhenEmpty::Today)
            setFieldText(datePickerName, todayText());
    } else if (records().value(QStringLiteral("RecDate")).isNull()) {
        setFieldText(datePickerName, Dates::format(date->value(), Dates::ShortDate));
    }
}

// ---- Save ----

// A transaction is never stored without a date; then the amount and the payee are required, in
// this order.
bool LedgerWindow::checkBeforeSave()
{
    if (records().absolutePosition() == 0)
        return false; // no transaction to save: the command ends quietly
    giveDate(DateWhenEmpty::Today);
    return requiredFieldsFilled();
}

// The saved transaction stays current and shows as stored ("1250.5" typed shows $1,250.50).
void LedgerWindow::afterSave()
{
    showCurrentRecord(); // as the write read it back; nothing is read again
    if (kind_.expense)
        offerLoanUpdate();
}

// A loan payment may have changed what is owed on the property; the user adjusts the balance in
// the loan editor by hand.
void LedgerWindow::offerLoanUpdate()
{
    if (!isLoanPayment(fieldText(categoryPicker)))
        return;
    if (prompts().message(this,
                          QStringLiteral("Do you wish to update the loan balance for this property?"),
                          QStringLiteral("Update Loan Information"), Prompts::Buttons::YesNo)
        != Prompts::Answer::Yes)
        return;
    if (fieldText(propertyPicker).isEmpty()) {
        prompts().message(this, QStringLiteral("You must select a property."),
                          QStringLiteral("Property Unknown"));
        return;
    }
    Puiblic_Module::CallerTag = noCaller;
    if (context.showLoanEditor)
        context.showLoanEditor();
}

// ---- Refresh ----

// After the transactions are read again: the grid laid out, the three lists read again, and the
// last transaction current.
void LedgerWindow::afterRefresh()
{
    layOutGrid();
    fillPickers();
    fillTenants();
    moveLast();
}

// ---- the tenant a rent payment is from ----

// Beside the payee: the tenant whose rent the income pays, if any. The rent roll counts the
// rows that name a tenant as that tenant's payments. A tenant chosen for a saved transaction is
// written at once; for a new one or one with changes, with the transaction when it is saved.
void LedgerWindow::createTenantPicker()
{
    cboTenant = new Picker(this);
    cboTenant->setObjectName(QStringLiteral("cboTenant"));
    cboTenant->setAccessibleName(QStringLiteral("Tenant:"));
    cboTenant->setToolTip(QStringLiteral("The tenant whose rent this pays"));
    // Wide enough for a name and its property, beside the payee.
    cboTenant->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboTenant->setMinimumContentsLength(18);
    auto* label = new QLabel(QStringLiteral("Te&nant:"), this);
    label->setObjectName(QStringLiteral("lblTenant"));
    label->setBuddy(cboTenant);
    addBeside(vendorPicker, label);
    addBeside(vendorPicker, cboTenant);
    if (QWidget* addVendor = control(QStringLiteral("cmdAddVendor")))
        setTabOrder(addVendor, cboTenant);
    connect(cboTenant, &QComboBox::activated, this, [this] { saveTenant(); });
    // The row and the tenant it names are written together: a row is never saved without the
    // tenant chosen for it.
    records().writeAlongside([this](qint64 financeId) {
        return connection() ? setPaymentTenant(*connection(), financeId, chosenTenant()) : Status{};
    });
}

qint64 LedgerWindow::chosenTenant() const
{
    const int chosen = cboTenant ? cboTenant->currentIndex() : 0;
    return chosen > 0 && chosen <= tenantIds.size() ? tenantIds.at(chosen - 1) : 0;
}

void LedgerWindow::fillTenants()
{
    if (!cboTenant || !connection())
        return;
    const QSignalBlocker quiet(cboTenant);
    cboTenant->clear();
    tenantIds.clear();
    cboTenant->addItem(QString());
    Result<QList<TenantLease>> leases = loadLeases(*connection());
    for (const TenantLease& t : leases ? leases.value() : QList<TenantLease>{}) {
        cboTenant->addItem(QStringLiteral("%1 (%2)").arg(t.tenant, t.property));
        tenantIds.append(t.tenantId);
    }
}

void LedgerWindow::recordShown()
{
    if (!cboTenant || !connection())
        return;
    const QVariant id = records().value(QStringLiteral("ID"));
    Result<QVariant> tenant =
        id.isNull() ? Result<QVariant>(QVariant())
                    : connection()->scalar(QStringLiteral("SELECT TenantID FROM tblRentPayment "
                                                          "WHERE FinanceID = ?"),
                                           {id});
    const qsizetype at = tenant && !tenant.value().isNull()
                             ? tenantIds.indexOf(tenant.value().toLongLong())
                             : -1;
    cboTenant->setCurrentIndex(int(at + 1));
}

void LedgerWindow::saveTenant()
{
    if (!cboTenant || !connection())
        return;
    const QVariant id = records().value(QStringLiteral("ID"));
    if (id.isNull() || records().isDirty())
        return;
    if (Status saved = setPaymentTenant(*connection(), id.toLongLong(), chosenTenant()); !saved)
        prompts().message(this, saved.error().description, kind_.caption, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
}

// ---- the small buttons ----

void LedgerWindow::cmdAddVendor_Click() { Puiblic_Module::OpenVendorWindow(kind_.vendorCaller); }

void LedgerWindow::cmdAddMemo_Click()
{
    if (context.showCategoryEditor)
        context.showCategoryEditor();
}

frmIncome::frmIncome(const QString& dataFolder, LedgerContext context, QWidget* parent)
    : LedgerWindow(incomeKind(), dataFolder, std::move(context), parent)
{
}

frmExpense::frmExpense(const QString& dataFolder, LedgerContext context, QWidget* parent)
    : LedgerWindow(expenseKind(), dataFolder, std::move(context), parent)
{
}

} // namespace halvo
