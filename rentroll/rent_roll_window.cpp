#include "rent_roll_window.h"

#include "controls/links.h"
#include "controls/writing_commands.h"
#include "controls/pickers.h"
#include "data/connection_string.h"
#include "data/dates.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "rentroll/lease_dialogs.h"
#include "rentroll/rent_roll_report.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include "controls/child_frame.h"
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace halvo {

namespace {

const QString Title = QStringLiteral("Rent Roll");

enum Column { Tenant, Property, Rent, DueDay, PaidThisMonth, Balance, DepositHeld, LeaseEnd,
              DaysLeft, EndsWithin, ColumnCount };

const QStringList headings{QStringLiteral("Tenant"),       QStringLiteral("Property"),
                           QStringLiteral("Rent"),         QStringLiteral("Due Day"),
                           QStringLiteral("Paid This Month"), QStringLiteral("Balance"),
                           QStringLiteral("Deposit Held"), QStringLiteral("Lease End"),
                           QStringLiteral("Days Left"),    QStringLiteral("Ends Within")};

constexpr int SortRole = Qt::UserRole;
constexpr int TenantRole = Qt::UserRole + 1;

QString moneyText(const Money& m) { return m.format(MoneyFormat::Bound); }

QStandardItem* cell(const QString& text, const QVariant& sortValue, bool right = false)
{
    auto* item = new QStandardItem(text);
    item->setData(sortValue, SortRole);
    item->setEditable(false);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

QString endsWithin(std::optional<qint64> daysLeft)
{
    if (!daysLeft)
        return {};
    if (*daysLeft < 0)
        return QStringLiteral("Ended");
    for (int within : {30, 60, 90})
        if (*daysLeft <= within)
            return QStringLiteral("%1 days").arg(within);
    return {};
}

frmRentRoll::frmRentRoll(const QString& dataFolder, RentRollContext c, QWidget* parent)
    : QWidget(parent), folder(dataFolder), context(std::move(c))
{
    setObjectName(QStringLiteral("frmRentRoll"));
    setWindowTitle(Title);

    dtpAsOf = new DatePicker(this);
    dtpAsOf->setObjectName(QStringLiteral("dtpAsOf"));
    dtpAsOf->setValue(Clock::today());
    auto* asOf = new QLabel(QStringLiteral("&As of:"), this);
    asOf->setBuddy(dtpAsOf);
    dtpAsOf->setAccessibleName(QStringLiteral("As of:"));
    connect(dtpAsOf, &DatePicker::edited, this, [this] { showRoll(); });

    cboSortBy = new Picker(this);
    cboSortBy->setObjectName(QStringLiteral("cboSortBy"));
    cboSortBy->addItems(headings);
    auto* sortBy = new QLabel(QStringLiteral("&Sort by:"), this);
    sortBy->setBuddy(cboSortBy);
    cboSortBy->setAccessibleName(QStringLiteral("Sort by:"));

    model = new QStandardItemModel(0, ColumnCount, this);
    model->setHorizontalHeaderLabels(headings);
    sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(model);
    sorted->setSortRole(SortRole);
    grdRentRoll = new QTableView(this);
    grdRentRoll->setObjectName(QStringLiteral("grdRentRoll"));
    grdRentRoll->setAccessibleName(Title);
    grdRentRoll->setModel(sorted);
    grdRentRoll->setTabKeyNavigation(false); // arrows move between cells, Tab leaves
    grdRentRoll->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdRentRoll->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRentRoll->setSortingEnabled(true);
    grdRentRoll->verticalHeader()->hide();
    grdRentRoll->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // A column is as wide as what the first hundred tenants in the roll's order need: measuring
    // every one of a thousand tenants' texts each time the roll is laid out cost more than all
    // the rest of opening it.
    grdRentRoll->horizontalHeader()->setResizeContentsPrecision(100);
    grdRentRoll->horizontalHeader()->setStretchLastSection(true);
    grdRentRoll->sortByColumn(Property, Qt::AscendingOrder);
    cboSortBy->setCurrentIndex(Property);
    connect(cboSortBy, &QComboBox::activated, this,
            [this](int column) { grdRentRoll->sortByColumn(column, Qt::AscendingOrder); });
    connect(grdRentRoll->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column) {
                const QSignalBlocker quiet(cboSortBy);
                cboSortBy->setCurrentIndex(column);
            });
    connect(grdRentRoll, &QTableView::activated, this, &frmRentRoll::OpenTenant_Click);

    lblTotals = new QLabel(this);
    lblTotals->setObjectName(QStringLiteral("lblTotals"));

    OpenTenant = makeLink(this, QStringLiteral("OpenTenant"), QStringLiteral("Open Tenant"));
    OpenLedger = makeLink(this, QStringLiteral("OpenLedger"), QStringLiteral("Open Ledger"));
    LeaseTerms = writesBooks(
        makeLink(this, QStringLiteral("LeaseTerms"), QStringLiteral("Lease Terms...")));
    ChangeRent = writesBooks(
        makeLink(this, QStringLiteral("ChangeRent"), QStringLiteral("Change Rent...")));
    Deposit = writesBooks(makeLink(this, QStringLiteral("Deposit"), QStringLiteral("Deposit...")));
    MatchPayments = writesBooks(makeLink(this, QStringLiteral("MatchPayments"),
                                         QStringLiteral("Match Payments...")));
    Preview = makeLink(this, QStringLiteral("Preview"), QStringLiteral("Preview"));
    Close = makeLink(this, QStringLiteral("Close"), QStringLiteral("Close"));
    connect(OpenTenant, &VeyHyperLinkLabel::Click, this, &frmRentRoll::OpenTenant_Click);
    connect(OpenLedger, &VeyHyperLinkLabel::Click, this, &frmRentRoll::OpenLedger_Click);
    connect(LeaseTerms, &VeyHyperLinkLabel::Click, this, &frmRentRoll::LeaseTerms_Click);
    connect(ChangeRent, &VeyHyperLinkLabel::Click, this, &frmRentRoll::ChangeRent_Click);
    connect(Deposit, &VeyHyperLinkLabel::Click, this, &frmRentRoll::Deposit_Click);
    connect(MatchPayments, &VeyHyperLinkLabel::Click, this, &frmRentRoll::MatchPayments_Click);
    connect(Preview, &VeyHyperLinkLabel::Click, this, &frmRentRoll::Preview_Click);
    connect(Close, &VeyHyperLinkLabel::Click, this, [this] { closeFramed(this); });

    auto* top = new QHBoxLayout;
    top->addWidget(asOf);
    top->addWidget(dtpAsOf);
    top->addSpacing(fontMetrics().averageCharWidth() * 4);
    top->addWidget(sortBy);
    top->addWidget(cboSortBy);
    top->addStretch();
    auto* commands = new QHBoxLayout;
    for (VeyHyperLinkLabel* link : {OpenTenant, OpenLedger, LeaseTerms, ChangeRent, Deposit,
                                    MatchPayments, Preview})
        commands->addWidget(link);
    commands->addStretch();
    commands->addWidget(lblTotals);
    commands->addSpacing(fontMetrics().averageCharWidth() * 4);
    commands->addWidget(Close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdRentRoll, 1);
    layout->addLayout(commands);
    setMinimumSize(fontMetrics().averageCharWidth() * 140, fontMetrics().height() * 22);
}

// Wide enough for every column of a roll of usual names and amounts, without scrolling.
QSize frmRentRoll::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 165, fontMetrics().height() * 24};
}

void frmRentRoll::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!shownOnce) {
        shownOnce = true;
        showRoll();
        grdRentRoll->setFocus();
    }
}

Result<Connection> frmRentRoll::database()
{
    if (!db) {
        Result<Connection> opened = Connection::open(standardConnectionString(folder));
        if (!opened)
            return opened.error();
        db = opened.value();
    }
    return *db;
}

void frmRentRoll::tell(const QString& text)
{
    prompts().message(this, text, Title, Prompts::Buttons::Ok, Prompts::Icon::Warning);
}

void frmRentRoll::showRoll()
{
    const std::optional<RentRollRow> was = currentRow();
    const QDate day = dtpAsOf->isEmpty() ? Clock::today() : dtpAsOf->value();
    Result<Connection> connection = database();
    Result<QList<RentRollRow>> read = connection ? rentRoll(connection.value(), day)
                                                 : Result<QList<RentRollRow>>(connection.error());
    if (!read)
        tell(read.error().description);
    roll = read ? read.value() : QList<RentRollRow>{};

    model->removeRows(0, model->rowCount());
    Money owed, held;
    for (const RentRollRow& r : roll) {
        const QString end = r.leaseEnd ? Dates::format(*r.leaseEnd, Dates::ShortDate) : QString();
        QList<QStandardItem*> items{
            cell(r.tenant, r.tenant.toLower()),
            cell(r.property, r.property.toLower()),
            cell(moneyText(r.rent), qlonglong(r.rent.units()), true),
            cell(QString::number(r.dueDay), r.dueDay, true),
            cell(moneyText(r.paidThisMonth), qlonglong(r.paidThisMonth.units()), true),
            cell(moneyText(r.balance), qlonglong(r.balance.units()), true),
            cell(moneyText(r.depositHeld), qlonglong(r.depositHeld.units()), true),
            cell(end, r.leaseEnd ? QVariant(*r.leaseEnd) : QVariant(QDate(9999, 12, 31))),
            cell(r.daysLeft ? QString::number(*r.daysLeft) : QString(),
                 r.daysLeft ? qlonglong(*r.daysLeft) : std::numeric_limits<qlonglong>::max(),
                 true),
            cell(endsWithin(r.daysLeft), r.daysLeft ? qlonglong(*r.daysLeft)
                                                    : std::numeric_limits<qlonglong>::max())};
        items.first()->setData(r.tenantId, TenantRole);
        // A tenant who owes stands out in red, the whole row.
        if (r.balance > Money())
            for (QStandardItem* i : items)
                i->setForeground(QColor(Qt::red));
        model->appendRow(items);
        if (r.balance > Money())
            owed += r.balance;
        held += r.depositHeld;
    }
    lblTotals->setText(QStringLiteral("Owed: %1   Deposits held: %2")
                           .arg(moneyText(owed), moneyText(held)));
    int current = 0;
    for (int row = 0; row < sorted->rowCount(); ++row)
        if (was && sorted->index(row, Tenant).data(TenantRole).toLongLong() == was->tenantId)
            current = row;
    if (sorted->rowCount() > 0)
        grdRentRoll->setCurrentIndex(sorted->index(current, Tenant));
    for (VeyHyperLinkLabel* link :
         {OpenTenant, OpenLedger, LeaseTerms, ChangeRent, Deposit, MatchPayments})
        link->setEnabled(!roll.isEmpty());
}

std::optional<RentRollRow> frmRentRoll::currentRow() const
{
    const QModelIndex at = grdRentRoll->currentIndex();
    if (!at.isValid())
        return std::nullopt;
    const qint64 id = sorted->index(at.row(), Tenant).data(TenantRole).toLongLong();
    for (const RentRollRow& r : roll)
        if (r.tenantId == id)
            return r;
    return std::nullopt;
}

std::optional<TenantLease> frmRentRoll::currentLease()
{
    const std::optional<RentRollRow> row = currentRow();
    Result<Connection> connection = database();
    if (!row || !connection)
        return std::nullopt;
    Result<QList<TenantLease>> leases = loadLeases(connection.value());
    if (!leases) {
        tell(leases.error().description);
        return std::nullopt;
    }
    for (const TenantLease& t : leases.value())
        if (t.tenantId == row->tenantId)
            return t;
    tell(QStringLiteral("The tenant is no longer there."));
    showRoll();
    return std::nullopt;
}

void frmRentRoll::OpenTenant_Click()
{
    if (const std::optional<RentRollRow> row = currentRow(); row && context.showTenant)
        context.showTenant(row->tenantId);
}

void frmRentRoll::OpenLedger_Click()
{
    if (const std::optional<RentRollRow> row = currentRow(); row && context.showLedger)
        context.showLedger(row->property);
}

void frmRentRoll::LeaseTerms_Click()
{
    if (const std::optional<TenantLease> t = currentLease()) {
        frmRentTerms window(*db, *t, this);
        if (window.exec() == QDialog::Accepted)
            showRoll();
    }
}

void frmRentRoll::ChangeRent_Click()
{
    if (const std::optional<TenantLease> t = currentLease()) {
        frmChangeRent window(*db, *t, dtpAsOf->value(), this);
        if (window.exec() == QDialog::Accepted)
            showRoll();
    }
}

void frmRentRoll::Deposit_Click()
{
    if (const std::optional<TenantLease> t = currentLease()) {
        frmDeposit window(*db, *t, dtpAsOf->value(), this);
        if (window.exec() == QDialog::Accepted)
            showRoll();
    }
}

void frmRentRoll::MatchPayments_Click()
{
    if (const std::optional<TenantLease> t = currentLease()) {
        frmMatchPayments window(*db, *t, this);
        if (window.exec() == QDialog::Accepted)
            showRoll();
    }
}

void frmRentRoll::Preview_Click()
{
    const QDate day = dtpAsOf->isEmpty() ? Clock::today() : dtpAsOf->value();
    QWidget* frame = window() == this ? nullptr : window();
    // In the order the window shows them.
    QList<RentRollRow> shownRows;
    for (int row = 0; row < sorted->rowCount(); ++row) {
        const qint64 id = sorted->index(row, Tenant).data(TenantRole).toLongLong();
        for (const RentRollRow& r : roll)
            if (r.tenantId == id)
                shownRows.append(r);
    }
    if (Status shown = showRentRollReport(shownRows, day, frame); !shown)
        prompts().message(this, QStringLiteral("The report cannot be shown: ")
                                    + shown.error().description,
                          Title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

} // namespace halvo
