// Every window of the window table opened in the main window over one database of 1,000,000
// ledger rows, 1,000 tenants, 10,000 vendors, 100,000 notes, 40 properties and a few dozen
// categories, loans and insurance policies (target for each: shown and painted within 150 ms,
// with at most 80 MB of peak memory growth). The rows come from the main window's own table, so
// that a window added to it later is measured without being listed here; commands are not
// windows and are not measured.
//
// Beside each window that reads its rows through record sets, the naive way: every record set
// the window holds read whole into memory, as a client-side static cursor would. A window with a
// set whose source takes values (its `?` marks) has no naive row: the values it was opened with
// are the set's own. The year at a glance, the rent roll and the worksheet hold no record set
// (they read their figures through their rooms): they have no naive row.

#include "bench/bench_support.h"
#include "data/record_set.h"
#include "platform/prompts.h"
#include "platform/settings.h"
#include "shell/main_window.h"
#include "shell/window_table.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

using namespace halvo;

namespace {

constexpr int TargetMs = 150;
constexpr int TargetMB = 80;

void fill(const QString& path)
{
    Connection c = Connection::openFile(path, DatabasePassword).value();
    const QString sql = QStringLiteral(
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39) "
        "INSERT INTO tblBuilding (BldNickName, BldPropAddress, BldLastName, BldPurchasePrice) "
        "SELECT 'PROP' || i, i || ' Elm St', 'Owner ' || i, 2000000000 + i FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000) "
        "INSERT INTO tblTenant (Nickname, FirstName, LastName, LeaseStartDate, LeasePeriod, "
        "MonthlyRentAmt, DepAmt) SELECT 'PROP' || (i % 40), 'First' || i, 'Last' || i, "
        "'2017-01-01', CASE i % 3 WHEN 0 THEN 'month-to-month' ELSE '5 year' END, "
        "10000000 + i * 10000, 10000000 FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 9999) "
        "INSERT INTO tblVendor (Company, FirstName, LastName, City, HomePhone) "
        "SELECT CASE WHEN i < 300 THEN 'Payee ' || i ELSE printf('Company %05d', i) END, "
        "'First', 'Last ' || i, 'Tulsa', '555-0100' FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO tblNotes (NoteDate, NoteTime, NickName, Notes) "
        "SELECT date('2017-01-01', '+' || (i % 3650) || ' days'), '09:00:00', 'PROP' || (i % 40), "
        "'Called about the roof, note ' || i FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 24) "
        "INSERT INTO tblCategory (Income, Expense) "
        "SELECT CASE i WHEN 1 THEN 'Rent' ELSE 'Income ' || i END, "
        "CASE i WHEN 1 THEN 'Repairs' ELSE 'Expense ' || i END FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 35) "
        "INSERT INTO tblLoan (NickName, LoanInfo, LoanNo, LoanType, LoanDate, IntRate, LoanAmt, "
        "Mortgage, Value, Equity) SELECT 'PROP' || i, 'Bank ' || i, 'L' || i, 'Conventional', "
        "'2017-01-01', 4.5, 1500000000, 1200000000, 2000000000, 800000000 FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 35) "
        "INSERT INTO tblInsurance (Nickname, InsuranceInfo, InsPolicyNo, InsType, InsDate, "
        "HomeOwnersIns) SELECT 'PROP' || i, 'Insurer ' || i, 'P' || i, 'Homeowners', "
        "'2017-01-01', 12000000 FROM n;"
        "COMMIT;");
    if (!c.executeScript(sql))
        std::abort();
}

template <class Step>
void measureEach(benchmark::State& state, Step step)
{
    std::vector<double> ms, mb;
    for (auto _ : state) {
        const bench::Opening o = bench::measureOpening(step);
        ms.push_back(o.ms);
        mb.push_back(o.growthMB);
    }
    bench::reportOpenings(state, ms, mb);
}

// What a window showed when it was first opened: its caption and its record sets' sources.
struct Surveyed {
    QString entry;
    QString caption;
    QStringList sources;
};

// A source as a statement: a set over a table's name reads the whole table.
QString statementOf(const QString& source)
{
    static const QRegularExpression tableName(QStringLiteral(R"(^\s*\w+\s*$)"));
    return tableName.match(source).hasMatch()
               ? QStringLiteral("SELECT * FROM %1").arg(source.trimmed())
               : source;
}

// Opens the entry's window in the shown frame until it is painted once; then closes it again,
// untimed, so that the next iteration makes it anew.
void openWindow(benchmark::State& state, frmMain& main, const QString& entry)
{
    std::vector<double> ms, mb;
    for (auto _ : state) {
        QWidget* window = nullptr;
        const bench::Opening o = bench::measureOpening([&] {
            window = main.openWindow(entry);
            QApplication::processEvents(); // shown, laid out and painted once
        });
        ms.push_back(o.ms);
        mb.push_back(o.growthMB);
        if (!window) {
            state.SkipWithError("the window was not made");
            break;
        }
        if (!main.closeChildWindows()) {
            state.SkipWithError("the window did not close");
            break;
        }
    }
    bench::reportOpenings(state, ms, mb);
}

// The naive opening: every source read whole, all of them held at once as the window holds its
// sets.
void readWhole(benchmark::State& state, const QString& folder, const QStringList& sources)
{
    const Connection c = Connection::open(standardConnectionString(folder)).value();
    double rows = 0;
    measureEach(state, [&] {
        std::vector<Rows> held;
        rows = 0;
        for (const QString& source : sources) {
            Result<Rows> all = c.select(statementOf(source));
            if (!all) {
                state.SkipWithError(qPrintable(all.error().description));
                return;
            }
            rows += double(all.value().values.size());
            held.push_back(std::move(all.value()));
        }
    });
    state.counters["rows_read"] = rows;
}

// Each window opened once, before anything is measured: its caption names its rows, its record
// sets give the naive row.
QList<Surveyed> survey(frmMain& main)
{
    QList<Surveyed> windows;
    for (const QString& entry : main.windowEntries()) {
        QWidget* window = main.openWindow(entry);
        QApplication::processEvents();
        if (!window)
            continue;
        Surveyed s{entry, window->windowTitle().isEmpty() ? entry : window->windowTitle(), {}};
        for (const RecordSet* set : window->findChildren<RecordSet*>())
            if (set->isOpen())
                s.sources.append(set->source());
        windows.append(s);
        main.closeChildWindows();
    }
    return windows;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // The placement and the choices the windows keep stay in the run's own folders.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    bench::LargeDatabase db(1'000'000);
    fill(db.path());
    Settings::keepIn(db.folder());
    ScriptedPrompts answers; // a window's message is answered, never waited for
    setPrompts(&answers);

    frmMain main(Folders::portableAt(db.folder()));
    installWindows(main);
    main.resize(1400, 900);
    main.show();
    QApplication::processEvents();
    main.closeChildWindows(); // the property editor the frame opens as it loads

    const QString folder = db.folder();
    QStringList names;
    for (const Surveyed& w : survey(main)) {
        QString name = w.caption;
        if (names.contains(name))
            name += QStringLiteral(" (%1)").arg(w.entry);
        names.append(name);
        const QString entry = w.entry;
        benchmark::RegisterBenchmark(qPrintable(QStringLiteral("open %1 (target %2 ms, %3 MB)")
                                                    .arg(name)
                                                    .arg(TargetMs)
                                                    .arg(TargetMB)),
                                     [&main, entry](benchmark::State& s) {
                                         openWindow(s, main, entry);
                                     })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(5);
        if (w.sources.isEmpty())
            continue;
        const bool takesValues = std::any_of(w.sources.begin(), w.sources.end(),
                                             [](const QString& s) { return s.contains('?'); });
        if (takesValues) {
            std::fprintf(stderr, "%s: no naive row, a record set's source takes values\n",
                         qPrintable(name));
            continue;
        }
        const QStringList sources = w.sources;
        benchmark::RegisterBenchmark(
            qPrintable(QStringLiteral("naive: %1's %2 record set(s) read whole")
                           .arg(name)
                           .arg(sources.size())),
            [folder, sources](benchmark::State& s) { readWhole(s, folder, sources); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    main.closeChildWindows();
    setPrompts(nullptr);
    // The windows' own messages (a worksheet's category without a line, say) are theirs to show;
    // they are told here so that a run that showed one is not mistaken for a quiet one.
    if (!answers.shown.isEmpty())
        std::fprintf(stderr, "messages shown: %s\n", qPrintable(answers.texts().join('|')));
    return 0;
}
