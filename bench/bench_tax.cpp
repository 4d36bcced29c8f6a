// The Schedule E worksheet of one year in a ledger of a million rows: about 100,000 rows of the
// year over 40 properties, added up by property and category in the database; with it the year's
// computed lines: ten depreciable assets on each property (four hundred), 5,000 trips of the
// mileage log, the year's rental days, and the vendors paid for line A. Then the same year to its
// preview, laid out on its 14 pages with the first shown: within 200 ms.

#include "bench_support.h"
#include "reports/report_document.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"
#include "tax/schedule_e_sheet.h"

#include <QApplication>

using namespace halvo;
using halvo::bench::LargeDatabase;

namespace {

Connection& database()
{
    static LargeDatabase db(1000000);
    static Connection c = [] {
        Connection opened = Connection::openFile(db.path(), DatabasePassword).value();
        if (!saveCategoryLine(opened, {true, QStringLiteral("Rent")}, 3)
            || !saveCategoryLine(opened, {false, QStringLiteral("Repairs")}, 14))
            std::abort();
        // Each property's building and nine improvements, placed in service over twenty years,
        // one in four nonresidential; 5,000 trips of 2025; lines 1b and 2 entered for each.
        const QString computed = QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 399) "
            "INSERT INTO tblAsset (NickName, Description, Cost, Additions, Land, InService, "
            "AssetClass) SELECT 'PROP' || (i % 40), 'Asset ' || i, 2000000000 + i * 10000, "
            "50000000, CASE WHEN i < 40 THEN 400000000 ELSE 0 END, "
            "date('2005-01-15', '+' || (i * 17) || ' days'), CASE i % 4 WHEN 0 THEN "
            "'Nonresidential real property (39 years)' ELSE 'Residential rental (27.5 years)' END "
            "FROM n;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 5000) "
            "INSERT INTO tblMileage (TripDate, NickName, Purpose, Miles) SELECT "
            "date('2025-01-01', '+' || (i % 365) || ' days'), 'PROP' || (i % 40), 'Trip ' || i, "
            "10 + i % 30 FROM n;"
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39) "
            "INSERT INTO tblRentalDays (NickName, TaxYear, PropertyType, FairRentalDays, "
            "PersonalUseDays) SELECT 'PROP' || i, 2025, 1 + i % 2, 365, 0 FROM n;"
            "COMMIT;");
        if (!opened.executeScript(computed))
            std::abort();
        return opened;
    }();
    return c;
}

void BM_WorksheetOfAYear(benchmark::State& state)
{
    Connection& c = database();
    for (auto _ : state) {
        auto sheet = scheduleEWorksheet(c, 2025);
        if (!sheet || sheet.value().columns.size() != 40)
            state.SkipWithError("the worksheet failed");
        benchmark::DoNotOptimize(sheet);
    }
}
BENCHMARK(BM_WorksheetOfAYear)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WorksheetToThePreview(benchmark::State& state)
{
    Connection& c = database();
    for (auto _ : state) {
        auto sheet = scheduleEWorksheet(c, 2025);
        if (!sheet)
            state.SkipWithError("the worksheet failed");
        ReportLayout layout = ReportLayouts::rptScheduleE();
        layout.title = QStringLiteral("Tax Year 2025");
        Result<ReportPreview*> preview = ReportPreview::show(
            layout, std::make_shared<const MemoryRows>(worksheetRows(sheet.value())),
            QDate(2026, 2, 1));
        if (!preview || preview.value()->document().pageCount() != 14)
            state.SkipWithError("the preview failed");
        QApplication::processEvents(); // the first page painted
        state.PauseTiming();
        delete preview.value();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WorksheetToThePreview)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
