// A verified backup of a database of about 100 MB (the log emptied into the file and held, the
// bytes copied and written to the disk, compared with the file's, the copy opened with the key
// and its tables found) beside a plain copy of the same file written to the disk. Target: the
// backup takes at most twice the plain copy, measured side by side in this one run.

#include "bench_support.h"

#include "data/connection.h"
#include "maintenance/database_copy.h"

#include <QCoreApplication>
#include <QFile>
#include <unistd.h>

using namespace halvo;

namespace {

QString source;
QString folder;

// What a user's copy of the file would be, with the same flush to the disk that a backup has.
void plainCopy(benchmark::State& state)
{
    const QString target = folder + QStringLiteral("/plain.mdb");
    bench::timeEach(state, [&] {
        QFile::remove(target);
        if (!QFile::copy(source, target))
            state.SkipWithError("the plain copy failed");
        QFile f(target);
        if (f.open(QIODevice::ReadWrite))
            ::fsync(f.handle());
    });
    state.counters["MB"] = double(QFile(source).size()) / (1024.0 * 1024.0);
}

void verifiedBackup(benchmark::State& state)
{
    const QString target = folder + QStringLiteral("/backup.mdb");
    Connection live = Connection::openFile(source, DatabasePassword).value();
    bench::timeEach(state, [&] {
        if (!copyLiveDatabase(live, target, DatabasePassword))
            state.SkipWithError("the backup failed");
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // About 100 MB: 700,000 ledger rows with their indexes.
    bench::LargeDatabase db(700000);
    source = db.path();
    folder = db.folder();
    {
        Connection c = Connection::openFile(source, DatabasePassword).value();
        (void)c.checkpoint();
    }
    benchmark::RegisterBenchmark("plain file copy of the database, to the disk", plainCopy)
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("verified backup (target at most 2x the plain copy)",
                                 verifiedBackup)
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
