// The Schedule E worksheet of one year in a ledger of a million rows: about 100,000 rows of the
// year over 40 properties (more than the 50,000 rows and 10 properties it is asked to handle within
// 200 ms to the preview), added up by property and category in the database.

#include "bench_support.h"
#include "tax/schedule_e.h"

using namespace halvo;
using halvo::bench::LargeDatabase;

namespace {

void BM_WorksheetOfAYear(benchmark::State& state)
{
    static LargeDatabase db(1000000);
    Connection c = Connection::openFile(db.path(), DatabasePassword).value();
    if (!saveCategoryLine(c, {true, QStringLiteral("Rent")}, 3)
        || !saveCategoryLine(c, {false, QStringLiteral("Repairs")}, 14))
        std::abort();
    for (auto _ : state) {
        Result<Worksheet> sheet = scheduleEWorksheet(c, 2025);
        if (!sheet || sheet.value().columns.size() != 40)
            state.SkipWithError("the worksheet failed");
        benchmark::DoNotOptimize(sheet);
    }
}
BENCHMARK(BM_WorksheetOfAYear)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
