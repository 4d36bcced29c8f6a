#include "portfolio_totals.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/statements.h"

#include <QFile>
#include <sys/stat.h>

namespace halvo {

namespace {

// A SUM's value as money; empty when it is none.
std::optional<Money> moneyOfSum(const QVariant& value)
{
    Result<Money> amount = moneyFromStored(value);
    if (!amount)
        return std::nullopt;
    return amount.value();
}

std::optional<Money> sumOf(const Result<Connection>& db, const QString& statement)
{
    if (!db)
        return std::nullopt;
    auto total = db.value().sum(statement);
    if (!total)
        return std::nullopt;
    return total.value();
}

// The totals of one table: one statement for all of them, or one each when that fails, so that
// one missing column costs only its own total.
void tableTotals(const Result<Connection>& db, const QString& together,
                 std::initializer_list<std::pair<const QString*, std::optional<Money>*>> totals)
{
    if (db) {
        if (auto rows = db.value().select(together); rows && !rows.value().values.isEmpty()) {
            const QVariantList& row = rows.value().values.first();
            int column = 0;
            for (const auto& [statement, total] : totals)
                *total = moneyOfSum(row.value(column++));
            return;
        }
    }
    for (const auto& [statement, total] : totals)
        *total = sumOf(db, *statement);
}

} // namespace

PortfolioReader::PortfolioReader(const QString& programFolder) : folder(programFolder) {}

std::optional<PortfolioReader::Stamp> PortfolioReader::stamp(int year) const
{
    // total_changes() counts every row written through the shared handle, which every window
    // of this program uses; data_version moves when another connection commits; the file's
    // identity, size and time change when a restore puts another file in its place (and the
    // handle is opened anew).
    const QString path = databasePath(folder);
    struct stat file {};
    if (::stat(QFile::encodeName(path).constData(), &file) != 0)
        return std::nullopt;
    auto db = Connection::open(standardConnectionString(folder));
    if (!db)
        return std::nullopt;
    auto changes = db.value().scalar(QStringLiteral("SELECT total_changes()"));
    auto version = db.value().scalar(QStringLiteral("PRAGMA data_version"));
    if (!changes || !version)
        return std::nullopt;
    const QString identity =
        QStringLiteral("%1/%2/%3/%4/%5/%6.%7")
            .arg(quintptr(db.value().handle()))
            .arg(changes.value().toLongLong())
            .arg(version.value().toLongLong())
            .arg(qulonglong(file.st_ino))
            .arg(qlonglong(file.st_size))
            .arg(qlonglong(file.st_mtim.tv_sec))
            .arg(qlonglong(file.st_mtim.tv_nsec));
    return Stamp{identity, year};
}

PortfolioTotals PortfolioReader::readAll(int year) const
{
    const QString connectionString = standardConnectionString(folder);
    PortfolioTotals t;
    {
        const auto db = Connection::open(connectionString);
        tableTotals(db, Statements::LoanTotals,
                    {{&Statements::SumMarketValue, &t.marketValue},
                     {&Statements::SumLoanBalance, &t.loanBalance},
                     {&Statements::SumMortgage, &t.mortgage}});
    }
    t.premiums = sumOf(Connection::open(connectionString), Statements::SumPremiums);
    {
        const auto db = Connection::open(connectionString);
        tableTotals(db, Statements::TenantTotals,
                    {{&Statements::SumDeposits, &t.deposits},
                     {&Statements::SumManagementFees, &t.managementFees},
                     {&Statements::SumMonthlyRents, &t.monthlyRents}});
    }
    if (const auto db = Connection::open(connectionString)) {
        if (auto ledger = yearLedgerTotals(db.value(), year))
            t.ledger = ledger.value();
    }
    return t;
}

PortfolioTotals PortfolioReader::read(int year)
{
    const std::optional<Stamp> now = stamp(year);
    if (now && lastStamp && *now == *lastStamp && ++sinceRead < RereadAfter)
        return last;
    last = readAll(year);
    ++readCount;
    sinceRead = 0;
    // The stamp is taken before reading: a change made while reading moves it again, and the
    // next tick reads once more.
    lastStamp = now;
    return last;
}

} // namespace halvo
