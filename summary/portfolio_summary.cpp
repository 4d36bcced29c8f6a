#include "portfolio_summary.h"

#include "data/connection_string.h"
#include "data/statements.h"
#include "platform/desktop.h"

#include <QDate>
#include <QScopeGuard>

namespace halvo {

namespace {

// A SUM's value as money to the cent; empty when it is none.
std::optional<Money> moneyOfSum(const QVariant& value)
{
    Result<Money> amount = moneyFromStored(value);
    if (!amount)
        return std::nullopt;
    return amount.value().roundedToCents();
}

std::optional<Money> sumOf(const Connection& db, const QString& statement)
{
    Result<Money> total = db.sum(statement);
    if (!total)
        return std::nullopt;
    return total.value().roundedToCents();
}

// The totals of one table: one statement for all of them, or one each when that fails, so that
// one missing column costs only its own total.
void tableTotals(const Connection& db, const QString& together,
                 std::initializer_list<std::pair<const QString*, std::optional<Money>*>> totals)
{
    if (auto rows = db.select(together); rows && !rows.value().values.isEmpty()) {
        const QVariantList& row = rows.value().values.first();
        int column = 0;
        for (const auto& [statement, total] : totals)
            *total = moneyOfSum(row.value(column++));
        return;
    }
    for (const auto& [statement, total] : totals)
        *total = sumOf(db, *statement);
}

// What a ledger row adds to the year's totals: its amounts when it is dated in the year.
LedgerTotals contribution(const RowFields& row, int year)
{
    const QVariant date = row.value(QStringLiteral("RecDate"));
    if (date.metaType() != QMetaType::fromType<QDate>() || date.toDate().year() != year)
        return {};
    const auto amount = [&](const char* column) {
        return moneyFromStored(row.value(QString::fromLatin1(column))).valueOr(Money());
    };
    return {amount("Income"), amount("Expense")};
}

} // namespace

PortfolioSummary::PortfolioSummary(QString dataFolder, QObject* parent)
    : QObject(parent), folder(std::move(dataFolder))
{
    connect(&WriteNotices::instance(), &WriteNotices::committed, this, &PortfolioSummary::follow);
    // Another desktop's save to shared books is read at once, not at the next tick; a burst of
    // them (an import elsewhere) is read once.
    connect(&WriteNotices::instance(), &WriteNotices::changedElsewhere, this,
            [this](const ChangeElsewhere& change) {
                if (db && change.books == db->filePath() && !othersSaved.isActive())
                    othersSaved.start();
            });
    othersSaved.setSingleShot(true);
    othersSaved.setInterval(50);
    connect(&othersSaved, &QTimer::timeout, this, &PortfolioSummary::tick);
}

PortfolioSummary::~PortfolioSummary() = default;

bool PortfolioSummary::open()
{
    if (db)
        return true;
    Result<Connection> opened = Connection::open(standardConnectionString(folder));
    if (!opened)
        return false;
    db = opened.value();
    seen = {};
    return true;
}

void PortfolioSummary::release()
{
    db.reset();
    seen = {};
}

void PortfolioSummary::tick()
{
    // A restore is putting another file in the database's place: the figures shown stay as they
    // are, and nothing opens the file until it is done.
    if (beingReplaced(databasePath(folder)))
        return;
    const int year = Clock::today().year();
    // A file moved or put in the database's place (a restore) is opened anew.
    if (db && !db->checkInPlace())
        release();
    if (!open()) {
        // No database to read: every total shows "$0.00" and nothing else is said.
        PortfolioFigures none;
        none.year = year;
        update(none);
        return;
    }
    if (mayHaveChanged(year)) {
        readAll(year);
        emit fileChanged();
    }
}

bool PortfolioSummary::mayHaveChanged(int year)
{
    if (figures_.year != year || seen.changes != db->changesMade())
        return true;
    const Result<qint64> version = db->dataVersion();
    return !version || version.value() != seen.version;
}

void PortfolioSummary::noteSeen()
{
    seen.changes = db->changesMade();
    seen.version = db->dataVersion().valueOr(-1);
}

void PortfolioSummary::readAll(int year)
{
    PortfolioFigures next;
    next.year = year;
    // The counts are taken before reading: a change made while reading moves them again, and
    // the next tick reads once more.
    noteSeen();
    readLoans(next);
    readPremiums(next);
    readTenants(next);
    readLedger(next);
    ++readings;
    update(next);
}

void PortfolioSummary::readLoans(PortfolioFigures& f) const
{
    tableTotals(*db, Statements::LoanTotals,
                {{&Statements::SumMarketValue, &f.marketValue},
                 {&Statements::SumLoanBalance, &f.loanBalance},
                 {&Statements::SumMortgage, &f.mortgage}});
}

void PortfolioSummary::readPremiums(PortfolioFigures& f) const
{
    f.premiums = sumOf(*db, Statements::SumPremiums);
}

void PortfolioSummary::readTenants(PortfolioFigures& f) const
{
    tableTotals(*db, Statements::TenantTotals,
                {{&Statements::SumDeposits, &f.deposits},
                 {&Statements::SumManagementFees, &f.managementFees},
                 {&Statements::SumMonthlyRents, &f.monthlyRents}});
}

// The year's sums are kept exact; the figures show them to the cent.
void PortfolioSummary::readLedger(PortfolioFigures& f)
{
    const LedgerTotals totals = yearLedgerTotals(*db, f.year).valueOr(LedgerTotals());
    ledger = totals;
    f.income = totals.income.roundedToCents();
    f.expense = totals.expense.roundedToCents();
}

// A write told by a record set: the figures follow it at once, from the row itself where it
// can. What changed before it and was not told is left to the next tick, which then reads
// everything again.
void PortfolioSummary::follow(const CommittedWrite& write)
{
    if (!db || write.file != db->filePath())
        return;
    // Told once the figures follow it, so that a view reading the file then reads them too.
    const auto told = qScopeGuard([this] { emit fileChanged(); });
    if (!isComputed())
        return;
    PortfolioFigures next = figures_;
    if (write.table.compare(QLatin1String("tblFinance"), Qt::CaseInsensitive) == 0) {
        const LedgerTotals was = contribution(write.before, next.year);
        const LedgerTotals now = contribution(write.after, next.year);
        ledger.income += now.income - was.income;
        ledger.expense += now.expense - was.expense;
        next.income = ledger.income.roundedToCents();
        next.expense = ledger.expense.roundedToCents();
    } else if (write.table.compare(QLatin1String("tblLoan"), Qt::CaseInsensitive) == 0) {
        readLoans(next);
    } else if (write.table.compare(QLatin1String("tblTenant"), Qt::CaseInsensitive) == 0) {
        readTenants(next);
    } else if (write.table.compare(QLatin1String("tblInsurance"), Qt::CaseInsensitive) == 0) {
        readPremiums(next);
    }
    // One row written through the shared handle (with what the triggers kept with it): seen,
    // when nothing untold came before it.
    if (write.changesSoFar == seen.changes + write.changesOfWrite)
        seen.changes = write.changesSoFar;
    update(next);
}

void PortfolioSummary::update(const PortfolioFigures& next)
{
    if (next == figures_)
        return;
    figures_ = next;
    emit changed();
}

} // namespace halvo
