// The year at a glance on a ledger of 1,000,000 rows over twenty years and ten properties, about
// 50,000 rows in the chosen year (target: the window with its charts and tables filled, shown
// within 150 ms and at least ten times as fast as the naive way), for the portfolio and for one
// property; beside the naive way, the months and years added up by grouping every row of the
// ledger on the text of its date.

#include "bench/bench_support.h"
#include "controls/pickers.h"
#include "glance/glance_figures.h"
#include "glance/glance_window.h"
#include "platform/desktop.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QTableWidget>

using namespace halvo;

namespace {

QString folder;

// Twenty years from 2007 to 2026, the rows spread evenly over their days and over ten properties.
void fillLedger(const QString& path)
{
    Connection c = Connection::openFile(path, DatabasePassword).value();
    const QString sql = QStringLiteral(
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 9) "
        "INSERT INTO tblBuilding (BldNickName) SELECT 'PROP' || i FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
        "INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, Category, Memo, Income, "
        "Expense) SELECT 'PROP' || (i % 10), date('2007-01-01', '+' || (i % 7305) || ' days'), "
        "i, 'Payee ' || (i % 300), CASE i % 4 WHEN 0 THEN 'Repairs' ELSE 'Rent' END, "
        "'memo ' || i, CASE i % 4 WHEN 0 THEN 0 ELSE 1000000 + i END, "
        "CASE i % 4 WHEN 0 THEN 250000 + i ELSE 0 END FROM n;"
        "COMMIT;");
    if (!c.executeScript(sql))
        std::abort();
}

// From constructing the window to its charts and tables filled and painted once.
void openWindow(benchmark::State& state, const QString& property)
{
    double rows = 0;
    bench::timeEach(state, [&] {
        frmYearAtAGlance window(folder);
        window.resize(1100, 800);
        window.show();
        if (!property.isEmpty())
            window.cboNickname->setCurrentIndex(window.cboNickname->findText(property));
        QApplication::processEvents(); // laid out and painted once
        rows = window.grdYears->rowCount();
        if (window.grdMonths->rowCount() != 12 || window.year() != 2026)
            state.SkipWithError("the figures were not shown");
    });
    state.counters["years"] = rows;
}

// The naive way: every row's date text grouped by month and by year, and the year's months and
// every year's sums taken from those groups.
void groupWholeLedger(benchmark::State& state, const QString& property)
{
    const Connection c = Connection::openFile(databasePath(folder), DatabasePassword).value();
    const QString where = property.isEmpty() ? QString() : QStringLiteral(" WHERE NickName = ?");
    const QVariantList params = property.isEmpty() ? QVariantList{} : QVariantList{property};
    bench::timeEach(state, [&] {
        const auto grouped = [&](int characters) {
            return c.select(QStringLiteral("SELECT substr(RecDate, 1, %1), SUM(Income), "
                                           "SUM(Expense) FROM tblFinance%2 GROUP BY 1")
                                .arg(characters)
                                .arg(where),
                            params);
        };
        Result<Rows> months = grouped(7);
        Result<Rows> years = grouped(4);
        if (!months || !years)
            state.SkipWithError("the ledger could not be grouped");
        benchmark::DoNotOptimize(years);
    });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Clock::fixAt(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    QTemporaryDir dir;
    if (!createDatabase(databasePath(dir.path()), DatabasePassword))
        std::abort();
    fillLedger(databasePath(dir.path()));
    folder = dir.path();
    ScriptedPrompts answers; // a failure would be answered, and seen as an error
    setPrompts(&answers);

    const QString one = QStringLiteral("PROP3");
    benchmark::RegisterBenchmark("open the year at a glance, portfolio, 1M rows (target 150 ms)",
                                 [](benchmark::State& s) { openWindow(s, {}); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("open the year at a glance, one property, 1M rows (target 150 ms)",
                                 [one](benchmark::State& s) { openWindow(s, one); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark("naive: the portfolio's rows grouped by their date's text",
                                 [](benchmark::State& s) { groupWholeLedger(s, {}); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("naive: one property's rows grouped by their date's text",
                                 [one](benchmark::State& s) { groupWholeLedger(s, one); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    setPrompts(nullptr);
    releaseDatabase(databasePath(dir.path()));
    if (!answers.shown.isEmpty())
        std::fprintf(stderr, "unexpected messages: %s\n", qPrintable(answers.texts().join('|')));
    return answers.shown.isEmpty() ? 0 : 1;
}
