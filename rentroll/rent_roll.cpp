#include "rent_roll.h"

#include <QHash>

namespace halvo {

namespace {

Money moneyOf(const QVariant& v) { return moneyFromStored(v).valueOr(Money()); }

QDate dateOf(const QVariant& v)
{
    return v.metaType().id() == QMetaType::QDate ? v.toDate()
                                                 : QDate::fromString(v.toString(), Qt::ISODate);
}

const char* const lateFeeNames[] = {"None", "Fixed", "Percent", "Daily"};

LateFee lateFeeNamed(const QString& name)
{
    for (int i = 0; i < 4; ++i)
        if (name == QLatin1String(lateFeeNames[i]))
            return LateFee(i);
    return LateFee::None;
}

} // namespace

QString depositEventName(DepositEvent event)
{
    switch (event) {
    case DepositEvent::Received: return QStringLiteral("Received");
    case DepositEvent::Kept: return QStringLiteral("Kept");
    case DepositEvent::Returned: return QStringLiteral("Returned");
    }
    return {};
}

Result<QList<TenantLease>> loadLeases(const Connection& connection)
{
    Result<Rows> tenants = connection.select(QStringLiteral(
        "SELECT t.ID, t.FirstName, t.LastName, t.Nickname, t.LeaseStartDate, t.LeasePeriod, "
        "t.MonthlyRentAmt, t.DepAmt, r.DueDay, r.GraceDays, r.LateFee, r.Fee, r.Cap, r.EndDate "
        "FROM tblTenant t LEFT JOIN tblRentTerms r ON r.TenantID = t.ID "
        "ORDER BY t.Nickname ASC, t.ID ASC"));
    if (!tenants)
        return tenants.error();
    Result<Rows> changes = connection.select(
        QStringLiteral("SELECT TenantID, FromDate, RentBefore FROM tblRentChange"));
    if (!changes)
        return changes.error();
    Result<Rows> deposits = connection.select(
        QStringLiteral("SELECT TenantID, Kind, Amount FROM tblDeposit"));
    if (!deposits)
        return deposits.error();

    QHash<qint64, QList<RentChange>> changesOf;
    for (const QVariantList& r : changes.value().values)
        changesOf[r[0].toLongLong()].append({dateOf(r[1]), moneyOf(r[2])});
    struct Held {
        bool received = false;
        Money amount;
    };
    QHash<qint64, Held> heldOf;
    for (const QVariantList& r : deposits.value().values) {
        Held& h = heldOf[r[0].toLongLong()];
        const Money amount = moneyOf(r[2]);
        if (r[1].toString() == depositEventName(DepositEvent::Received)) {
            h.received = true;
            h.amount += amount;
        } else {
            h.amount -= amount;
        }
    }

    QList<TenantLease> leases;
    for (const QVariantList& r : tenants.value().values) {
        TenantLease t;
        t.tenantId = r[0].toLongLong();
        t.tenant = QStringList{r[1].toString(), r[2].toString()}.join(QLatin1Char(' ')).trimmed();
        t.property = r[3].toString();
        t.lease.start = dateOf(r[4]);
        t.lease.period = r[5].toString();
        t.lease.rent = moneyOf(r[6]);
        t.lease.changes = changesOf.value(t.tenantId);
        if (!r[8].isNull()) {
            t.termsSaved = true;
            t.lease.terms.dueDay = r[8].toInt();
            t.lease.terms.graceDays = r[9].toInt();
            t.lease.terms.lateFee = lateFeeNamed(r[10].toString());
            t.lease.terms.fee = moneyOf(r[11]);
            t.lease.terms.cap = moneyOf(r[12]);
            if (const QDate end = dateOf(r[13]); end.isValid())
                t.lease.terms.endDate = end;
        }
        const Held held = heldOf.value(t.tenantId);
        t.depositHeld = (held.received ? Money() : moneyOf(r[7])) + held.amount;
        leases.append(std::move(t));
    }
    return leases;
}

Result<QMap<qint64, QList<Payment>>> loadPayments(const Connection& connection)
{
    QMap<qint64, QList<Payment>> payments;
    Status read = connection.eachRow(
        QStringLiteral("SELECT TenantID, RecDate, Amount FROM tblRentPayment"),
        {}, [&](const QStringList&, QVariantList r) {
            payments[r[0].toLongLong()].append({dateOf(r[1]), moneyOf(r[2])});
            return true;
        });
    if (!read)
        return read.error();
    return payments;
}

Result<QList<RentRollRow>> rentRoll(const Connection& connection, const QDate& day)
{
    Result<QList<TenantLease>> leases = loadLeases(connection);
    if (!leases)
        return leases.error();
    Result<QMap<qint64, QList<Payment>>> payments = loadPayments(connection);
    if (!payments)
        return payments.error();
    QList<RentRollRow> rows;
    rows.reserve(leases.value().size());
    for (const TenantLease& t : leases.value()) {
        const RentAccount account = rentAccount(t.lease, payments.value().value(t.tenantId), day);
        RentRollRow row;
        row.tenantId = t.tenantId;
        row.tenant = t.tenant;
        row.property = t.property;
        row.rent = rentOn(t.lease, day);
        row.dueDay = t.lease.terms.dueDay;
        row.paidThisMonth = account.paidThisMonth;
        row.balance = account.balance();
        row.depositHeld = t.depositHeld;
        row.leaseEnd = leaseEnd(t.lease);
        if (row.leaseEnd)
            row.daysLeft = day.daysTo(*row.leaseEnd);
        rows.append(row);
    }
    return rows;
}

Status saveTerms(const Connection& connection, qint64 tenantId, const RentTerms& terms)
{
    Result<int> done = connection.execute(
        QStringLiteral("INSERT OR REPLACE INTO tblRentTerms (TenantID, DueDay, GraceDays, "
                       "LateFee, Fee, Cap, EndDate) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {tenantId, terms.dueDay, terms.graceDays,
         QString::fromLatin1(lateFeeNames[int(terms.lateFee)]), QVariant::fromValue(terms.fee),
         QVariant::fromValue(terms.cap), terms.endDate ? QVariant(*terms.endDate) : QVariant()});
    if (!done)
        return done.error();
    return {};
}

RentOutcome changeRent(const Connection& connection, qint64 tenantId, const QDate& from,
                       const Money& rent)
{
    Result<QList<TenantLease>> leases = loadLeases(connection);
    if (!leases)
        return leases.error();
    const TenantLease* tenant = nullptr;
    for (const TenantLease& t : leases.value())
        if (t.tenantId == tenantId)
            tenant = &t;
    if (!tenant)
        return RentRefusal::TenantGone;
    Transaction work(connection);
    if (!work.status())
        return work.status();
    // The rent until `from` stays what it was; the next change after `from` now ends the new
    // rent, and with none after it the new rent is the rent now.
    const QVariant money = QVariant::fromValue(rentOn(tenant->lease, from.addDays(-1)));
    Result<int> before = connection.execute(
        QStringLiteral("INSERT OR IGNORE INTO tblRentChange (TenantID, FromDate, RentBefore) "
                       "VALUES (?, ?, ?)"),
        {tenantId, from, money});
    if (!before)
        return before.error();
    Result<QVariant> next = connection.scalar(
        QStringLiteral("SELECT MIN(FromDate) FROM tblRentChange WHERE TenantID = ? AND "
                       "FromDate > ?"),
        {tenantId, from});
    if (!next)
        return next.error();
    Result<int> after =
        next.value().isNull()
            ? connection.execute(QStringLiteral("UPDATE tblTenant SET MonthlyRentAmt = ? "
                                                "WHERE ID = ?"),
                                 {QVariant::fromValue(rent), tenantId})
            : connection.execute(QStringLiteral("UPDATE tblRentChange SET RentBefore = ? "
                                                "WHERE TenantID = ? AND FromDate = ?"),
                                 {QVariant::fromValue(rent), tenantId, next.value()});
    if (!after)
        return after.error();
    return work.commit();
}

Status setPaymentTenant(const Connection& connection, qint64 financeId, qint64 tenantId)
{
    Result<int> done =
        tenantId == 0
            ? connection.execute(QStringLiteral("DELETE FROM tblRentPayment WHERE FinanceID = ?"),
                                 {financeId})
            : connection.execute(QStringLiteral("INSERT OR REPLACE INTO tblRentPayment "
                                                "(FinanceID, TenantID, RecDate, Amount) SELECT "
                                                "ID, ?, RecDate, Income FROM tblFinance "
                                                "WHERE ID = ?"),
                                 {tenantId, financeId});
    if (!done)
        return done.error();
    return {};
}

Result<QList<PaymentCandidate>> paymentCandidates(const Connection& connection,
                                                  const TenantLease& tenant)
{
    const QDate from = tenant.lease.start.isValid() ? tenant.lease.start.addMonths(-1)
                                                    : QDate(1900, 1, 1);
    Result<Rows> rows = connection.select(
        QStringLiteral("SELECT f.ID, f.RecDate, f.Payee, f.Category, f.Income, p.TenantID "
                       "FROM tblFinance f LEFT JOIN tblRentPayment p ON p.FinanceID = f.ID "
                       "WHERE f.NickName = ? AND f.RecDate >= ? AND f.Income <> 0 "
                       "AND (p.TenantID IS NULL OR p.TenantID = ?) ORDER BY f.RecDate, f.ID"),
        {tenant.property, from, tenant.tenantId});
    if (!rows)
        return rows.error();
    QList<PaymentCandidate> found;
    for (const QVariantList& r : rows.value().values)
        found.append({r[0].toLongLong(), dateOf(r[1]), r[2].toString(), r[3].toString(),
                      moneyOf(r[4]), !r[5].isNull()});
    return found;
}

RentOutcome recordDeposit(const Connection& connection, qint64 tenantId, DepositEvent event,
                          const QDate& day, const Money& amount, const QString& reason)
{
    if (amount <= Money())
        return RentRefusal::AmountNotAboveZero;
    Transaction work(connection);
    if (!work.status())
        return work.status();
    Result<QVariant> tenant =
        connection.scalar(QStringLiteral("SELECT count(*) FROM tblTenant WHERE ID = ?"), {tenantId});
    if (!tenant)
        return tenant.error();
    if (tenant.value().toInt() != 1)
        return RentRefusal::TenantGoneNothingRecorded;
    QVariant financeId;
    if (event == DepositEvent::Kept) {
        if (reason.trimmed().isEmpty())
            return RentRefusal::NoReasonForKeeping;
        // The income window and the tax year know the category from the category table.
        Result<int> category = connection.execute(QStringLiteral(
            "INSERT INTO tblCategory (Income) SELECT 'Deposit Kept' WHERE NOT EXISTS "
            "(SELECT 1 FROM tblCategory WHERE Income = 'Deposit Kept')"));
        if (!category)
            return category.error();
        Result<int> income = connection.execute(
            QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Memo, "
                           "Income, Expense) SELECT Nickname, ?, TRIM(COALESCE(FirstName, '') "
                           "|| ' ' || COALESCE(LastName, '')), 'Deposit Kept', ?, ?, 0 "
                           "FROM tblTenant WHERE ID = ?"),
            {day, reason, QVariant::fromValue(amount), tenantId});
        if (!income)
            return income.error();
        // No row when the tenant was deleted meanwhile (in another window): the last row id
        // would then name an older ledger row, which the deposit must never point at.
        if (income.value() != 1)
            return RentRefusal::TenantGoneNothingRecorded;
        Result<QVariant> id = connection.scalar(QStringLiteral("SELECT last_insert_rowid()"));
        if (!id)
            return id.error();
        financeId = id.value();
    }
    Result<int> done = connection.execute(
        QStringLiteral("INSERT INTO tblDeposit (TenantID, EventDate, Kind, Amount, Reason, "
                       "FinanceID) VALUES (?, ?, ?, ?, ?, ?)"),
        {tenantId, day, depositEventName(event), QVariant::fromValue(amount), reason, financeId});
    if (!done)
        return done.error();
    return work.commit();
}

} // namespace halvo
