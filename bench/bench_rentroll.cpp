// The rent roll of 1,000 tenants with ten years of payments (125,000 ledger rows naming their
// tenant) in a ledger of a million rows (target: at most 150 ms), and the reminders the login
// shows (target: at most 50 ms added to start-up).

#include "bench_support.h"
#include "rentroll/reminders.h"
#include "rentroll/rent_roll.h"

using namespace halvo;
using halvo::bench::LargeDatabase;

namespace {

Connection& database()
{
    static LargeDatabase db(1000000);
    static Connection c = [] {
        Connection opened = Connection::openFile(db.path(), DatabasePassword).value();
        if (!opened.executeScript(QStringLiteral(
                "BEGIN;"
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
                "INSERT INTO tblTenant (ID, Nickname, FirstName, LastName, LeaseStartDate, "
                "LeasePeriod, MonthlyRentAmt, DepAmt) SELECT i, 'PROP' || (i % 40), 'First' || i, "
                "'Last' || i, '2017-01-01', CASE i % 3 WHEN 0 THEN 'month-to-month' ELSE "
                "'5 year' END, 10000000 + i * 10000, 10000000 FROM n;"
                "INSERT INTO tblRentTerms (TenantID, DueDay, GraceDays, LateFee, Fee, Cap) "
                "SELECT ID, 1 + ID % 28, 5, 'Daily', 100000, 500000 FROM tblTenant;"
                "INSERT INTO tblRentPayment (FinanceID, TenantID, RecDate, Amount) "
                "SELECT ID, 1 + ID % 1000, RecDate, Income FROM tblFinance WHERE ID % 8 = 1;"
                "COMMIT;")))
            std::abort();
        return opened;
    }();
    return c;
}

void BM_RentRoll(benchmark::State& state)
{
    Connection& c = database();
    bench::timeEach(state, [&] {
        Result<QList<RentRollRow>> roll = rentRoll(c, QDate(2026, 12, 9));
        if (!roll || roll.value().size() != 1000)
            state.SkipWithError("the rent roll failed");
        benchmark::DoNotOptimize(roll);
    });
}
BENCHMARK(BM_RentRoll)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoginReminders(benchmark::State& state)
{
    Connection& c = database();
    for (auto _ : state) {
        Result<QList<Reminder>> found = reminders(c, QDate(2026, 12, 9));
        if (!found)
            state.SkipWithError("the reminders failed");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_LoginReminders)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
