// The income window on a ledger of 1,000,000 rows, 750,000 of them income (targets: opening
// within 1 s and 80 MB of peak memory growth; Save of a new income within 20 ms; Add Income
// within 50 ms), each beside
// the naive way: the whole ledger of the kind read into memory at opening, as a client-side
// static cursor would, a Save that reads the transactions again afterwards, and an Add that
// reads them again first.

#include "bench/bench_support.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "ledger/ledger_window.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>

using namespace halvo;

namespace {

QString folder;

void addLists(const QString& path)
{
    Connection c = Connection::openFile(path, DatabasePassword).value();
    const QString sql = QStringLiteral(
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 299) "
        "INSERT INTO tblVendor (Company) SELECT 'Payee ' || i FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39) "
        "INSERT INTO tblBuilding (BldNickName) SELECT 'PROP' || i FROM n;"
        "INSERT INTO tblCategory (Income, Expense) VALUES ('Rent', 'Repairs'), "
        "('Late Fee', '4000 Mortgage');"
        "COMMIT;");
    if (!c.executeScript(sql))
        std::abort();
}



void openIncome(benchmark::State& state)
{
    std::vector<double> ms, mb;
    double rows = 0;
    for (auto _ : state) {
        const bench::Opening o = bench::measureOpening([&] {
            frmIncome window(folder, {});
            window.resize(1000, 600);
            window.show();
            QApplication::processEvents(); // laid out and painted once
            rows = double(window.records().rowsRead());
            benchmark::DoNotOptimize(window.records().recordCount());
        });
        ms.push_back(o.ms);
        mb.push_back(o.growthMB);
    }
    bench::reportOpenings(state, ms, mb);
    state.counters["rows_read"] = rows;
}

// The naive opening: every income row read into memory, as a static cursor holds them.
void openIncomeReadWhole(benchmark::State& state)
{
    const Connection c = Connection::openFile(databasePath(folder), DatabasePassword).value();
    std::vector<double> ms, mb;
    double rows = 0;
    for (auto _ : state) {
        const bench::Opening o = bench::measureOpening([&] {
            Result<Rows> all = c.select(Statements::IncomeRows);
            rows = all ? double(all.value().values.size()) : 0;
        });
        ms.push_back(o.ms);
        mb.push_back(o.growthMB);
    }
    bench::reportOpenings(state, ms, mb);
    state.counters["rows_read"] = rows;
}

// A new income typed in and chosen as the user does it; only Save is timed.
void fillNewIncome(frmIncome& window, int n)
{
    window.Add();
    QLineEdit* amount = window.box(QStringLiteral("txtAmount"));
    amount->setText(QString::number(100 + n));
    Picker* payees = window.picker(QStringLiteral("cboVendor"));
    payees->setCurrentIndex(n % payees->count());
    emit payees->activated(payees->currentIndex());
}

void saveIncome(benchmark::State& state, bool readAgain)
{
    frmIncome window(folder, {});
    window.resize(1000, 600);
    window.show();
    std::vector<double> ms;
    long long rows = 0;
    QElapsedTimer timer;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fillNewIncome(window, ++n);
        const long long before = window.records().rowsRead();
        state.ResumeTiming();
        timer.start();
        window.Save();
        if (readAgain) {
            (void)window.records().requery();
            (void)window.records().moveLast();
        }
        ms.push_back(timer.nsecsElapsed() / 1e6);
        rows = std::max(rows, window.records().rowsRead() - before);
        if (window.records().editMode() != RecordSet::EditMode::None)
            state.SkipWithError("the income was not saved");
    }
    state.counters["median_ms"] = bench::median(ms);
    state.counters["rows_read"] = double(rows);
}

// Add re-opens the transactions only when another window or program may have saved since
// (target 50 ms), beside the Add that read them again every time.
void addIncome(benchmark::State& state, bool readAgain)
{
    frmIncome window(folder, {});
    window.resize(1000, 600);
    window.show();
    bench::timeEach(state, [&] {
        if (readAgain)
            (void)window.records().requery();
        window.Add();
    });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::LargeDatabase db(1000000);
    addLists(db.path());
    folder = db.folder();
    ScriptedPrompts answers; // a required-field message would be answered, and seen as an error
    setPrompts(&answers);

    benchmark::RegisterBenchmark("open frmIncome, 1M ledger rows (target 1 s, 80 MB)", openIncome)
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("naive: the income rows read whole at opening", openIncomeReadWhole)
        ->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Save of a new income, 1M ledger rows (target 20 ms)",
                                 [](benchmark::State& s) { saveIncome(s, false); })
        ->Unit(benchmark::kMillisecond)->Iterations(30);
    benchmark::RegisterBenchmark("naive: Save, then the transactions read again",
                                 [](benchmark::State& s) { saveIncome(s, true); })
        ->Unit(benchmark::kMillisecond)->Iterations(10);
    benchmark::RegisterBenchmark("Add Income, 1M ledger rows (target 50 ms)",
                                 [](benchmark::State& s) { addIncome(s, false); })
        ->Unit(benchmark::kMillisecond)->Iterations(10);
    benchmark::RegisterBenchmark("before: Add, the transactions read again first",
                                 [](benchmark::State& s) { addIncome(s, true); })
        ->Unit(benchmark::kMillisecond)->Iterations(10);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    setPrompts(nullptr);
    if (!answers.shown.isEmpty())
        std::fprintf(stderr, "unexpected messages: %s\n", qPrintable(answers.texts().join('|')));
    return answers.shown.isEmpty() ? 0 : 1;
}
