// The record editors on a table of 100,000 records (targets: opening 300 ms, Save 20 ms,
// Delete 20 ms, moving to the last record 50 ms), and how many rows each command reads
// (at most what the grid shows plus one page). The notes window opened over notes one of which
// holds 200,000 characters, beside the same notes without it: it opens within the same time.

#include "bench/bench_support.h"
#include "editors/note_editor.h"
#include "editors/property_editor.h"
#include "editors/vendor_editor.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QHeaderView>
#include <type_traits>

using namespace halvo;

namespace {

QString folder;

void fill(const QString& path)
{
    Connection c = Connection::openFile(path, DatabasePassword).value();
    const QString sql = QStringLiteral(
        "BEGIN;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO tblVendor (Company, FirstName, LastName, Address, City, State, PostalCode, "
        "HomePhone, Email) SELECT printf('Company %06d', (i * 7919) % 100000), 'First', 'Last', "
        "i || ' Main St', 'Tulsa', 'Oklahoma    ', '74101', '555-0100', 'x@example.com' FROM n;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
        "INSERT INTO tblBuilding (BldNickName, BldPropAddress, BldFirstName, BldLastName, "
        "BldAddress, BldCity, BldState, BldPostalCode) SELECT printf('P%06d', i), i || ' Elm St', "
        "'First', printf('Owner %06d', (i * 7919) % 100000), 'Addr', 'Tulsa', 'Texas    ', '1' "
        "FROM n;"
        "COMMIT;");
    if (!c.executeScript(sql))
        std::abort();
}

// Twenty notes about one property; with `longNote`, the nineteenth is one paragraph of 200,000
// characters, shown in the grid but not the current note (the window opens on the last).
void fillNotes(const QString& path, bool longNote)
{
    Connection c = Connection::openFile(path, DatabasePassword).value();
    const QString sql = QStringLiteral(
        "BEGIN;"
        "INSERT INTO tblBuilding (BldNickName) VALUES ('ELM');"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) "
        "INSERT INTO tblNotes (NoteDate, NoteTime, NickName, Notes) SELECT "
        "date('2026-01-01', '+' || i || ' days'), '09:00:00', 'ELM', "
        "CASE WHEN i = 19 AND %1 THEN substr(replace(hex(zeroblob(40000)), '00', "
        "'The tenant called about the roof. '), 1, 200000) "
        "ELSE 'Called about the roof, note ' || i END FROM n;"
        "COMMIT;")
                            .arg(longNote ? 1 : 0);
    if (!c.executeScript(sql))
        std::abort();
}

// Rows the grid shows in the window as it opens.
int gridRows(RecordEditor& editor)
{
    QTableView* grid = editor.grid();
    return grid->viewport()->height() / std::max(1, grid->verticalHeader()->defaultSectionSize()) + 1;
}

// What an editor is made with: the property editor takes the program's folders (its default
// picture is among the program's files), the others the data folder.
template <class Editor>
auto foldersFor(const QString& at)
{
    if constexpr (std::is_constructible_v<Editor, const Folders&>)
        return Folders::portableAt(at);
    else
        return at;
}

template <class Editor>
void openEditor(benchmark::State& state)
{
    double rows = 0;
    int shown = 0;
    for (auto _ : state) {
        Editor editor(foldersFor<Editor>(folder));
        editor.resize(900, 500);
        editor.show();
        rows = double(editor.records().rowsRead());
        shown = gridRows(editor);
        benchmark::DoNotOptimize(editor.records().recordCount());
    }
    state.counters["rows_read"] = rows;
    state.counters["grid_rows"] = shown;
}

void commandsOnVendors(benchmark::State& state, int which)
{
    frmVendor editor(folder);
    editor.resize(900, 500);
    editor.show();
    std::vector<double> ms;
    long long rows = 0;
    QElapsedTimer timer;
    int n = 0;
    for (auto _ : state) {
        const long long before = editor.records().rowsRead();
        timer.start();
        if (which == 0) { // Save of an edited record
            editor.box(QStringLiteral("txtFields(7)"))->setText(QString::number(++n));
            emit editor.box(QStringLiteral("txtFields(7)"))->textEdited(QString::number(n));
            editor.Save();
        } else if (which == 1) { // Delete, answered Yes
            editor.Delete();
        } else { // to the last record and back
            editor.moveLast();
            state.PauseTiming();
            editor.moveFirst();
            state.ResumeTiming();
        }
        ms.push_back(timer.nsecsElapsed() / 1e6);
        rows = std::max(rows, editor.records().rowsRead() - before);
    }
    state.counters["median_ms"] = bench::median(ms);
    state.counters["rows_read"] = double(rows);
}

// From constructing the notes window to its grid and fields laid out and painted once.
void openNotes(benchmark::State& state, const QString& notesFolder)
{
    bench::timeEach(state, [&] {
        frmNote editor(notesFolder);
        editor.resize(900, 500);
        editor.show();
        QApplication::processEvents(); // laid out and painted once
        if (editor.records().recordCount() != 20)
            state.SkipWithError("the notes were not read");
    });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::LargeDatabase db(0);
    fill(db.path());
    folder = db.folder();
    bench::LargeDatabase shortNotes(0);
    fillNotes(shortNotes.path(), false);
    bench::LargeDatabase withLongNote(0);
    fillNotes(withLongNote.path(), true);
    ScriptedPrompts answers; // Delete's question is answered Yes
    setPrompts(&answers);

    benchmark::RegisterBenchmark("open frmVendor, 100k vendors", openEditor<frmVendor>)
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("open frmProperty, 100k properties", openEditor<frmProperty>)
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("Save, 100k vendors", [](benchmark::State& s) { commandsOnVendors(s, 0); })
        ->Unit(benchmark::kMillisecond)->Iterations(30);
    benchmark::RegisterBenchmark("Delete, 100k vendors", [](benchmark::State& s) { commandsOnVendors(s, 1); })
        ->Unit(benchmark::kMillisecond)->Iterations(30);
    benchmark::RegisterBenchmark("move to the last record, 100k vendors",
                                 [](benchmark::State& s) { commandsOnVendors(s, 2); })
        ->Unit(benchmark::kMillisecond)->Iterations(30);
    benchmark::RegisterBenchmark("open frmNote, 20 short notes",
                                 [&](benchmark::State& s) { openNotes(s, shortNotes.folder()); })
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("open frmNote, 20 notes, one of 200,000 characters",
                                 [&](benchmark::State& s) { openNotes(s, withLongNote.folder()); })
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    setPrompts(nullptr);
    return 0;
}
