// One tick of the portfolio summary on a database with 1,000,000 ledger rows over ten years and
// 10,000 loans, tenants and policies (target: 5 ms median), measured beside the literal tick:
// seven SUM statements each on its own, and the whole ledger walked through a record set, each
// row's date written in the short date form and searched for the year's four digits.
// The two must agree to the cent.

#include "bench/bench_support.h"
#include "data/dates.h"
#include "data/record_set.h"
#include "data/statements.h"
#include "platform/desktop.h"
#include "shell/ledger_totals.h"
#include "shell/summary_panel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>

using namespace halvo;

namespace {

bench::LargeDatabase* db = nullptr;
constexpr int year = 2026;

void addMasterRows(const Connection& c, int count)
{
    const QString fill = QStringLiteral(
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO tblLoan (NickName, LoanInfo, LoanNo, Value, LoanAmt, Mortgage) "
        "SELECT 'PROP' || i, 'Bank ' || (i % 50), 'L' || i, 20000000000 + i, 15000000000 + i, "
        "  12000000 + i FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO tblTenant (Nickname, FirstName, LastName, DepAmt, ManagementFee, "
        "  MonthlyRentAmt) "
        "SELECT 'PROP' || i, 'First' || i, 'Last' || i, 15000000 + i, 1200000 + i, 15000000 + i "
        "FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO tblInsurance (Nickname, InsuranceInfo, InsPolicyNo, HomeOwnersIns) "
        "SELECT 'PROP' || i, 'Insurer ' || (i % 30), 'P' || i, 9000000 + i FROM n;"
        "COMMIT;")
                             .arg(count);
    if (!c.executeScript(fill))
        std::abort();
}

Money sumOrZero(const Connection& c, const QString& statement)
{
    return c.sum(statement).valueOr(Money());
}

// The tick as first designed: every SUM on its own, and the ledger walked row by row through
// a record set over the whole table, which is then opened again for the next tick.
LedgerTotals literalTick(RecordSet& ledger, const QString& connectionString)
{
    Money totals[7];
    {
        const Connection c = Connection::open(connectionString).value();
        totals[0] = sumOrZero(c, Statements::SumMarketValue);
        totals[1] = sumOrZero(c, Statements::SumLoanBalance);
        totals[2] = sumOrZero(c, Statements::SumMortgage);
    }
    {
        const Connection c = Connection::open(connectionString).value();
        totals[3] = sumOrZero(c, Statements::SumPremiums);
    }
    {
        const Connection c = Connection::open(connectionString).value();
        totals[4] = sumOrZero(c, Statements::SumDeposits);
        totals[5] = sumOrZero(c, Statements::SumManagementFees);
        totals[6] = sumOrZero(c, Statements::SumMonthlyRents);
    }
    benchmark::DoNotOptimize(totals);

    const QString digits = QString::number(year);
    const int dateColumn = ledger.columnIndex(QStringLiteral("RecDate"));
    const int incomeColumn = ledger.columnIndex(QStringLiteral("Income"));
    const int expenseColumn = ledger.columnIndex(QStringLiteral("Expense"));
    LedgerTotals result;
    if (!ledger.moveFirst())
        return result;
    while (!ledger.eof()) {
        const QDate date = ledger.value(dateColumn).toDate();
        if (date.isValid() && Dates::format(date, Dates::ShortDate).contains(digits)) {
            result.income += ledger.value(incomeColumn).value<Money>();
            result.expense += ledger.value(expenseColumn).value<Money>();
        }
        if (!ledger.moveNext())
            break;
    }
    (void)ledger.requery();
    return result;
}

void summaryTick(benchmark::State& state)
{
    SummaryPanel panel(db->folder());
    bench::timeEach(state, [&] { panel.tick(); });
    // The tick's totals against the long way.
    const Connection c = Connection::open(standardConnectionString(db->folder())).value();
    const LedgerTotals walked = walkLedgerTotals(c, year).value();
    if (panel.valueLabel(QStringLiteral("lblIncome"))->text()
            != walked.income.format(MoneyFormat::Summary)
        || panel.valueLabel(QStringLiteral("lblExpense"))->text()
               != walked.expense.format(MoneyFormat::Summary))
        state.SkipWithError("the tick's totals differ from the walk's");
}

// The tick right after a row was saved: the totals are read from the database again.
void summaryTickAfterChange(benchmark::State& state)
{
    SummaryPanel panel(db->folder());
    panel.tick();
    const Connection c = Connection::open(standardConnectionString(db->folder())).value();
    std::vector<double> ms;
    QElapsedTimer timer;
    for (auto _ : state) {
        state.PauseTiming();
        if (!c.execute(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Income, Expense) "
                                      "VALUES ('PROP1', ?, 10000, 0)"),
                       {QDate(year, 6, 30)}))
            state.SkipWithError("cannot add a ledger row");
        state.ResumeTiming();
        timer.start();
        panel.tick();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    state.counters["median_ms"] = bench::median(ms);
}

void literalSummaryTick(benchmark::State& state)
{
    const QString connectionString = standardConnectionString(db->folder());
    const Connection c = Connection::open(connectionString).value();
    RecordSet ledger;
    if (!ledger.open(c, Statements::LedgerTable))
        state.SkipWithError("cannot open the ledger");
    LedgerTotals walked;
    bench::timeEach(state, [&] { walked = literalTick(ledger, connectionString); });
    const LedgerTotals fast = yearLedgerTotals(c, year).value();
    if (!(fast == walked))
        state.SkipWithError("the aggregate totals differ from the walk's");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::LargeDatabase large(1000000);
    db = &large;
    addMasterRows(Connection::openFile(large.path(), DatabasePassword).value(), 10000);
    // The ledger runs over ten years; the summary counts this one.
    Clock::fixAt(QDateTime(QDate(year, 6, 30), QTime(12, 0)));

    benchmark::RegisterBenchmark("summary tick, 1M ledger, 10k loans/tenants/policies",
                                 summaryTick)
        ->Unit(benchmark::kMillisecond)->Iterations(50);
    benchmark::RegisterBenchmark("summary tick after a saved row (totals read again)",
                                 summaryTickAfterChange)
        ->Unit(benchmark::kMillisecond)->Iterations(20);
    benchmark::RegisterBenchmark("literal tick: 7 SUMs + record set walk of the ledger",
                                 literalSummaryTick)
        ->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
