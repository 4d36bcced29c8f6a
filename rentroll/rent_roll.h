#pragma once
// The rent roll: for a chosen day, each tenant's rent, what was paid that month, the balance
// owed, the deposit held and how long the lease has left. What the program adds to a tenant's
// lease lives in tables of its own, so that the tenant table keeps its columns:
//   tblRentTerms    the due day, grace period, late fee and end date of a tenant's lease
//   tblRentChange   the rent until each change, by the day it took effect
//   tblRentPayment  the ledger's income rows that pay a tenant's rent, with their dates and
//                   amounts, kept the rows' own by triggers on the ledger
//   tblDeposit      deposits received, kept (then income, with a reason) and returned

#include "core/outcome.h"
#include "data/connection.h"
#include "rentroll/rent_account.h"

#include <QList>
#include <QMap>

namespace halvo {

// What a deposit event is; the texts are kept in tblDeposit.Kind.
enum class DepositEvent { Received, Kept, Returned };
QString depositEventName(DepositEvent event); // "Received", "Kept", "Returned"

struct TenantLease {
    qint64 tenantId = 0;
    QString tenant;   // "First Last"
    QString property; // the nickname
    Lease lease;
    Money depositHeld;
    bool termsSaved = false; // the user has given the lease its terms in the rent roll
};

// Every tenant's lease with its terms and rent changes, in the order of the tenant window
// (property nickname), and the deposit each holds: what tblDeposit says was received, less what
// was kept or returned; a tenant with no deposit received there holds the tenant's own deposit.
Result<QList<TenantLease>> loadLeases(const Connection& connection);
// The payments of every tenant, by tenant id.
Result<QMap<qint64, QList<Payment>>> loadPayments(const Connection& connection);

struct RentRollRow {
    qint64 tenantId = 0;
    QString tenant;
    QString property;
    Money rent; // the rent of the day's month
    int dueDay = 1;
    Money paidThisMonth;
    Money balance; // below zero: paid ahead
    Money depositHeld;
    std::optional<QDate> leaseEnd;
    std::optional<qint64> daysLeft; // to the lease end; below zero once it has passed
};

Result<QList<RentRollRow>> rentRoll(const Connection& connection, const QDate& day);

// What the rent roll will not write, and nothing is written: the window says why.
enum class RentRefusal {
    TenantGone,                // a rent change for a tenant no longer in the file
    TenantGoneNothingRecorded, // a deposit of a tenant deleted meanwhile (in another window)
    AmountNotAboveZero,        // a deposit of $0.00 or less
    NoReasonForKeeping,        // a deposit kept without the reason why
};
using RentOutcome = Outcome<void, RentRefusal>;

// Writing what the rent roll adds.
Status saveTerms(const Connection& connection, qint64 tenantId, const RentTerms& terms);
// The rent is `rent` from `from` on, until the next change after it (if any): the months before
// keep the rent they had.
RentOutcome changeRent(const Connection& connection, qint64 tenantId, const QDate& from,
                       const Money& rent);
// Ledger income rows paying a tenant's rent (or no longer: tenant 0).
Status setPaymentTenant(const Connection& connection, qint64 financeId, qint64 tenantId);
// An income row of the tenant's property from a month before the lease start on, that names no
// tenant or this one: what the user may match to the tenant's rent.
struct PaymentCandidate {
    qint64 financeId = 0;
    QDate date;
    QString payee;
    QString category;
    Money amount;
    bool named = false; // it pays this tenant's rent now
};
Result<QList<PaymentCandidate>> paymentCandidates(const Connection& connection,
                                                  const TenantLease& tenant);
// A deposit kept is also income: a ledger row of the category "Deposit Kept" with the reason as
// its memo, written in the same unit of work.
RentOutcome recordDeposit(const Connection& connection, qint64 tenantId, DepositEvent event,
                          const QDate& day, const Money& amount, const QString& reason);

} // namespace halvo
