// 10,000 statement lines into a ledger of a million rows: the plan (payee rules and the duplicate
// check) within 1 s, the write within 1 s. The duplicate check looks each amount up by the amount
// indexes; beside it, the same check reading every row of the line's days by the date index alone.

#include "bench_support.h"
#include "statements/ledger_import.h"

#include <QElapsedTimer>

using namespace halvo;
using halvo::bench::LargeDatabase;

namespace {

constexpr int Lines = 10000;

LargeDatabase& ledger()
{
    static LargeDatabase db(1000000);
    return db;
}

Connection connect()
{
    return Connection::openFile(ledger().path(), DatabasePassword).value();
}

// Lines over a year of the ledger's dates, some of them amounts the ledger holds.
Statement statement(int batch)
{
    Statement s;
    for (int i = 0; i < Lines; ++i) {
        StatementLine l;
        l.line = i + 1;
        l.account = QStringLiteral("5550123");
        l.date = QDate(2025, 1, 1).addDays(i % 365);
        l.amount = Money::fromUnits(i % 3 == 0 ? -(250000 + i) : 1000000 + 7 * i + batch);
        l.payee = QStringLiteral("PAYEE %1 BRANCH %2").arg(i % 300).arg(i % 7);
        l.bankId = QStringLiteral("B%1-%2").arg(batch).arg(i);
        s.lines.append(l);
    }
    return s;
}

void addRules(const Connection& c)
{
    static bool added = false;
    if (added)
        return;
    for (int i = 0; i < 50; ++i)
        static_cast<void>(savePayeeRule(c, {0, PayeeRule::Match::StartsWith,
                                            QStringLiteral("PAYEE %1 ").arg(i), QStringLiteral("PROP1"),
                                            QStringLiteral("Vendor %1").arg(i), QStringLiteral("Repairs")}));
    added = true;
}

void BM_PlanTenThousandLines(benchmark::State& state)
{
    Connection c = connect();
    addRules(c);
    const Statement s = statement(0);
    for (auto _ : state) {
        Result<QList<ImportLine>> plan = planImport(c, s);
        if (!plan)
            state.SkipWithError("the plan failed");
        benchmark::DoNotOptimize(plan);
    }
}
BENCHMARK(BM_PlanTenThousandLines)->Unit(benchmark::kMillisecond)->Iterations(3);

// The naive duplicate check: every row of the line's seven days, by the date index.
void BM_NaiveDuplicateCheck(benchmark::State& state)
{
    Connection c = connect();
    const Statement s = statement(0);
    for (auto _ : state) {
        qint64 seen = 0;
        for (const StatementLine& l : s.lines)
            static_cast<void>(c.eachRow(
                QStringLiteral("SELECT Income, Expense, Payee FROM tblFinance INDEXED BY "
                               "idxFinanceRecDate WHERE RecDate BETWEEN ? AND ?"),
                {l.date.addDays(-3), l.date.addDays(3)}, [&seen](const QStringList&, QVariantList) {
                    ++seen;
                    return true;
                }));
        benchmark::DoNotOptimize(seen);
    }
}
BENCHMARK(BM_NaiveDuplicateCheck)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WriteTenThousandLines(benchmark::State& state)
{
    Connection c = connect();
    int batch = 1;
    for (auto _ : state) {
        state.PauseTiming();
        QList<ImportLine> plan = planImport(c, statement(batch++)).value();
        for (ImportLine& line : plan)
            line.ticked = true;
        state.ResumeTiming();
        auto written = writeImport(c, plan, QStringLiteral("bench.ofx"));
        if (!written)
            state.SkipWithError("the write failed");
    }
}
BENCHMARK(BM_WriteTenThousandLines)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
