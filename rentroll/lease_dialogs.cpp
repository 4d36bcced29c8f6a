#include "lease_dialogs.h"

#include "controls/figure_names.h"

#include "controls/table_width.h"

#include "controls/links.h"
#include "controls/writing_commands.h"
#include "data/dates.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "rentroll/rent_roll_words.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace halvo {

namespace {

QString moneyText(const Money& m) { return m.format(MoneyFormat::Bound); }

// The late fee picker's entries, in the order of LateFee.
const QStringList lateFeeCaptions{QStringLiteral("No late fee"), QStringLiteral("A fixed fee"),
                                  QStringLiteral("A percentage of the rent"),
                                  QStringLiteral("An amount a day")};

} // namespace

LeaseDialog::LeaseDialog(const Connection& c, const TenantLease& t, const QString& name,
                         const QString& title, QWidget* parent)
    : QDialog(parent), connection(c), tenant(t)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("%1: %2").arg(title, t.tenant));
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("%1, %2").arg(t.tenant, t.property), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    form = new QFormLayout;
    layout->addLayout(form);
    Save = writesBooks(makeLink(this, QStringLiteral("Save"), QStringLiteral("Save")));
    Cancel = makeLink(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    connect(Save, &VeyHyperLinkLabel::Click, this, [this] { Save_Click(); });
    connect(Cancel, &VeyHyperLinkLabel::Click, this, &QDialog::reject);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(Save);
    commands->addWidget(Cancel);
    layout->addStretch();
    layout->addLayout(commands);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
}

void LeaseDialog::addField(const QString& label, QWidget* field)
{
    auto* caption = new QLabel(label, this);
    caption->setBuddy(field);
    // A label beside its caption shows a figure, and is named as it reads ("Held now:
    // $1,500.00"); a field to fill in is named by its caption.
    if (auto* figure = qobject_cast<QLabel*>(field))
        figure->setAccessibleName(readsAs(label, figure->text()));
    else
        field->setAccessibleName(QString(label).remove(QLatin1Char('&')));
    form->addRow(caption, field);
    // The commands come after the fields, whatever order the fields were made in.
    setTabOrder(field, Save);
    setTabOrder(Save, Cancel);
}

bool LeaseDialog::refuse(const QString& text, QWidget* field)
{
    prompts().message(this, text, windowTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
    if (field)
        field->setFocus();
    return false;
}

std::optional<Money> LeaseDialog::moneyIn(QLineEdit* box, const QString& field)
{
    const QString text = box->text().trimmed();
    if (text.isEmpty())
        return Money();
    Result<Money> m = Money::parse(text);
    if (!m || m.value().isNegative()) {
        refuse(QStringLiteral("%1 must be an amount such as 1,200.00.").arg(field), box);
        return std::nullopt;
    }
    return m.value();
}

void LeaseDialog::finish(const RentOutcome& written)
{
    if (written.refused())
        return void(refuse(wording(written.refusal()), nullptr));
    if (!written)
        return void(refuse(written.error().description, nullptr));
    accept();
}

// ---- lease terms ----

frmRentTerms::frmRentTerms(const Connection& c, const TenantLease& t, QWidget* parent)
    : LeaseDialog(c, t, QStringLiteral("frmRentTerms"), QStringLiteral("Lease Terms"), parent)
{
    const RentTerms& terms = t.lease.terms;
    spnDueDay = new QSpinBox(this);
    spnDueDay->setObjectName(QStringLiteral("spnDueDay"));
    spnDueDay->setRange(1, 31);
    spnDueDay->setValue(terms.dueDay);
    spnGraceDays = new QSpinBox(this);
    spnGraceDays->setObjectName(QStringLiteral("spnGraceDays"));
    spnGraceDays->setRange(0, 31);
    spnGraceDays->setValue(terms.graceDays);
    cboLateFee = new Picker(this);
    cboLateFee->setObjectName(QStringLiteral("cboLateFee"));
    cboLateFee->addItems(lateFeeCaptions);
    cboLateFee->setCurrentIndex(int(terms.lateFee));
    txtFee = new QLineEdit(this);
    txtFee->setObjectName(QStringLiteral("txtFee"));
    txtFee->setText(terms.lateFee == LateFee::Percent ? terms.fee.toString()
                                                      : moneyText(terms.fee));
    txtCap = new QLineEdit(this);
    txtCap->setObjectName(QStringLiteral("txtCap"));
    txtCap->setText(terms.cap.isZero() ? QString() : moneyText(terms.cap));
    chkEnds = new QCheckBox(QStringLiteral("The lease &ends on"), this);
    chkEnds->setObjectName(QStringLiteral("chkEnds"));
    chkEnds->setChecked(terms.endDate.has_value());
    dtpEnd = new DatePicker(this);
    dtpEnd->setObjectName(QStringLiteral("dtpEnd"));
    dtpEnd->setValue(terms.endDate.value_or(leaseEnd(t.lease).value_or(QDate())));
    dtpEnd->setEnabled(chkEnds->isChecked());
    connect(chkEnds, &QCheckBox::toggled, dtpEnd, &QWidget::setEnabled);
    connect(cboLateFee, &QComboBox::currentIndexChanged, this, &frmRentTerms::feeChosen);

    addField(QStringLiteral("&Due day of the month:"), spnDueDay);
    addField(QStringLiteral("&Grace period in days:"), spnGraceDays);
    addField(QStringLiteral("&Late fee:"), cboLateFee);
    addField(QStringLiteral("&Fee:"), txtFee);
    addField(QStringLiteral("&Most a month:"), txtCap);
    addField(QStringLiteral("Lease period:"), new QLabel(t.lease.period.isEmpty()
                                                               ? QStringLiteral("none given")
                                                               : t.lease.period,
                                                           this));
    addField(QString(), chkEnds);
    addField(QString(), dtpEnd);
    feeChosen();
}

void frmRentTerms::feeChosen()
{
    const auto kind = LateFee(cboLateFee->currentIndex());
    txtFee->setEnabled(kind != LateFee::None);
    txtCap->setEnabled(kind == LateFee::Daily);
    txtFee->setToolTip(kind == LateFee::Percent ? QStringLiteral("The percentage of the month's "
                                                                 "rent, such as 5 for 5 %")
                       : kind == LateFee::Daily ? QStringLiteral("The fee of each day late")
                                                : QStringLiteral("The fee of a month paid late"));
}

void frmRentTerms::Save_Click()
{
    RentTerms terms;
    terms.dueDay = spnDueDay->value();
    terms.graceDays = spnGraceDays->value();
    terms.lateFee = LateFee(cboLateFee->currentIndex());
    if (terms.lateFee == LateFee::Percent) {
        const Result<Money> percent =
            Money::parse(txtFee->text().remove(QLatin1Char('%')).trimmed());
        if (!percent || percent.value() <= Money()
            || percent.value() > Money::fromUnits(100 * Money::Scale))
            return void(refuse(QStringLiteral("The fee must be a percentage above 0 and at most "
                                              "100."),
                               txtFee));
        terms.fee = percent.value();
    } else if (terms.lateFee != LateFee::None) {
        const std::optional<Money> fee = moneyIn(txtFee, QStringLiteral("The fee"));
        if (!fee)
            return;
        if (*fee <= Money())
            return void(refuse(QStringLiteral("The fee must be an amount above $0.00."), txtFee));
        terms.fee = *fee;
    }
    if (terms.lateFee == LateFee::Daily) {
        const std::optional<Money> cap = moneyIn(txtCap, QStringLiteral("The most a month"));
        if (!cap)
            return;
        terms.cap = *cap;
    }
    if (chkEnds->isChecked()) {
        if (dtpEnd->isEmpty())
            return void(refuse(QStringLiteral("Choose the day the lease ends."), dtpEnd));
        if (tenant.lease.start.isValid() && dtpEnd->value() < tenant.lease.start)
            return void(refuse(QStringLiteral("The lease cannot end before it starts (%1).")
                                   .arg(tenant.lease.start.toString(QStringLiteral("M/d/yyyy"))),
                               dtpEnd));
        terms.endDate = dtpEnd->value();
    }
    finish(saveTerms(connection, tenant.tenantId, terms));
}

// ---- rent change ----

frmChangeRent::frmChangeRent(const Connection& c, const TenantLease& t, const QDate& from,
                             QWidget* parent)
    : LeaseDialog(c, t, QStringLiteral("frmChangeRent"), QStringLiteral("Change Rent"), parent)
{
    txtRent = new QLineEdit(this);
    txtRent->setObjectName(QStringLiteral("txtRent"));
    txtRent->setText(moneyText(rentOn(t.lease, from)));
    dtpFrom = new DatePicker(this);
    dtpFrom->setObjectName(QStringLiteral("dtpFrom"));
    dtpFrom->setValue(from);
    addField(QStringLiteral("&New monthly rent:"), txtRent);
    addField(QStringLiteral("&From:"), dtpFrom);
    addField(QString(), new QLabel(QStringLiteral("The months before keep the rent they had."),
                                   this));
}

void frmChangeRent::Save_Click()
{
    if (txtRent->text().trimmed().isEmpty())
        return void(refuse(QStringLiteral("Enter the new monthly rent."), txtRent));
    const std::optional<Money> rent = moneyIn(txtRent, QStringLiteral("The new monthly rent"));
    if (!rent)
        return;
    if (dtpFrom->isEmpty())
        return void(refuse(QStringLiteral("Choose the day the new rent starts."), dtpFrom));
    finish(changeRent(connection, tenant.tenantId, dtpFrom->value(), *rent));
}

// ---- deposit ----

frmDeposit::frmDeposit(const Connection& c, const TenantLease& t, const QDate& day,
                       QWidget* parent)
    : LeaseDialog(c, t, QStringLiteral("frmDeposit"), QStringLiteral("Deposit"), parent)
{
    cboEvent = new Picker(this);
    cboEvent->setObjectName(QStringLiteral("cboEvent"));
    cboEvent->addItems({QStringLiteral("Received"), QStringLiteral("Kept"),
                        QStringLiteral("Returned")});
    cboEvent->setCurrentIndex(t.depositHeld.isZero() ? 0 : 2);
    dtpDate = new DatePicker(this);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setValue(day);
    txtAmount = new QLineEdit(this);
    txtAmount->setObjectName(QStringLiteral("txtAmount"));
    txtReason = new QLineEdit(this);
    txtReason->setObjectName(QStringLiteral("txtReason"));
    addField(QStringLiteral("Held now:"), new QLabel(moneyText(t.depositHeld), this));
    addField(QStringLiteral("&What:"), cboEvent);
    addField(QStringLiteral("&Date:"), dtpDate);
    addField(QStringLiteral("&Amount:"), txtAmount);
    addField(QStringLiteral("&Reason:"), txtReason);
    addField(QString(), new QLabel(QStringLiteral("A deposit kept is written to the ledger as "
                                                  "income of the category \"Deposit Kept\"."),
                                   this));
}

void frmDeposit::Save_Click()
{
    const auto event = DepositEvent(cboEvent->currentIndex());
    if (txtAmount->text().trimmed().isEmpty())
        return void(refuse(QStringLiteral("Enter the amount."), txtAmount));
    const std::optional<Money> amount = moneyIn(txtAmount, QStringLiteral("The amount"));
    if (!amount)
        return;
    if (event != DepositEvent::Received && *amount > tenant.depositHeld)
        return void(refuse(QStringLiteral("Only %1 of the deposit is held.")
                               .arg(moneyText(tenant.depositHeld)),
                           txtAmount));
    if (dtpDate->isEmpty())
        return void(refuse(QStringLiteral("Choose the date."), dtpDate));
    // The rent roll refuses it too; asked here first, so that the cursor goes to the reason.
    if (event == DepositEvent::Kept && txtReason->text().trimmed().isEmpty())
        return void(refuse(wording(RentRefusal::NoReasonForKeeping), txtReason));
    finish(recordDeposit(connection, tenant.tenantId, event, dtpDate->value(), *amount,
                         txtReason->text().trimmed()));
}

// ---- payments matched ----

frmMatchPayments::frmMatchPayments(const Connection& c, const TenantLease& t, QWidget* parent)
    : LeaseDialog(c, t, QStringLiteral("frmMatchPayments"), QStringLiteral("Match Payments"),
                  parent)
{
    Result<QList<PaymentCandidate>> found = paymentCandidates(c, t);
    if (!found)
        refuse(found.error().description, nullptr);
    rows = found ? found.value() : QList<PaymentCandidate>{};
    grdPayments = new QTableWidget(int(rows.size()), 4, this);
    grdPayments->setObjectName(QStringLiteral("grdPayments"));
    grdPayments->setTabKeyNavigation(false); // arrows move between rows, Tab leaves
    grdPayments->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Payee"),
                                            QStringLiteral("Category"),
                                            QStringLiteral("Amount")});
    grdPayments->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPayments->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdPayments->setSelectionMode(QAbstractItemView::SingleSelection);
    grdPayments->verticalHeader()->hide();
    grdPayments->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdPayments->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < rows.size(); ++r) {
        const PaymentCandidate& p = rows.at(r);
        auto* date = new QTableWidgetItem(Dates::format(p.date, Dates::ShortDate));
        date->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        date->setCheckState(p.named ? Qt::Checked : Qt::Unchecked);
        grdPayments->setItem(r, 0, date);
        grdPayments->setItem(r, 1, new QTableWidgetItem(p.payee));
        grdPayments->setItem(r, 2, new QTableWidgetItem(p.category));
        auto* amount = new QTableWidgetItem(moneyText(p.amount));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdPayments->setItem(r, 3, amount);
    }
    if (!rows.isEmpty())
        grdPayments->setCurrentCell(0, 0);
    // Space ticks or unticks the row, wherever the current cell is in it.
    connect(grdPayments, &QTableWidget::itemActivated, this, [this](QTableWidgetItem* item) {
        QTableWidgetItem* tick = grdPayments->item(item->row(), 0);
        tick->setCheckState(tick->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    addField(QStringLiteral("&Payments:"), grdPayments);
    grdPayments->setMinimumHeight(fontMetrics().height() * 14);
    setMinimumWidth(fontMetrics().averageCharWidth() * 90);
    widenForTable(this, grdPayments);
    grdPayments->setFocus();
}

void frmMatchPayments::Save_Click()
{
    Transaction work(connection);
    Status written = work.status();
    for (int r = 0; written && r < rows.size(); ++r) {
        const bool ticked = grdPayments->item(r, 0)->checkState() == Qt::Checked;
        if (ticked != rows.at(r).named)
            written = setPaymentTenant(connection, rows.at(r).financeId,
                                       ticked ? tenant.tenantId : 0);
    }
    finish(written ? work.commit() : written);
}

} // namespace halvo
