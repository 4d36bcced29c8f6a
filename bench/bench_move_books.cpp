// The books of a ledger of 100,000 rows moved from the file into new shared books on a cluster of
// the benchmark's own, and from there into a new file, each move checked on arrival. Target: a
// few seconds each way.

#include "bench_support.h"

#include "server/move_books.h"
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>

using namespace halvo;

namespace {

const QString Password = QStringLiteral("ann's secret");
std::unique_ptr<test::PgCluster> cluster;
QString source;
QString folder;
int made = 0;

Result<Connection> newBooks()
{
    const QString database = QStringLiteral("office%1").arg(++made);
    if (Status s = cluster->run(QStringLiteral("CREATE DATABASE %1 OWNER ann").arg(database)); !s)
        return s.error();
    return Connection::openServer(cluster->conninfo(database, QStringLiteral("ann")), Password);
}

void toServer(benchmark::State& state)
{
    Connection file = Connection::openFile(source, DatabasePassword).value();
    std::vector<double> ms;
    QElapsedTimer timer;
    for (auto _ : state) {
        state.PauseTiming();
        Result<Connection> server = newBooks();
        if (!server) {
            state.SkipWithError(qPrintable(server.error().description));
            return;
        }
        state.ResumeTiming();
        timer.start();
        if (!moveBooksToServer(file, server.value()))
            state.SkipWithError("the move to the server failed");
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    state.counters["median_ms"] = bench::median(ms);
}

void toFile(benchmark::State& state)
{
    Connection file = Connection::openFile(source, DatabasePassword).value();
    Result<Connection> server = newBooks();
    if (!server || !moveBooksToServer(file, server.value())) {
        state.SkipWithError("the books could not be put on the server");
        return;
    }
    int n = 0;
    bench::timeEach(state, [&] {
        const QString path = QStringLiteral("%1/back%2.mdb").arg(folder).arg(++n);
        if (!moveBooksToFile(server.value(), path, DatabasePassword))
            state.SkipWithError("the move to a file failed");
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::LargeDatabase db(100000);
    source = db.path();
    folder = db.folder();
    Result<std::unique_ptr<test::PgCluster>> started = test::PgCluster::start();
    if (!started) {
        std::fprintf(stderr, "%s\n", qPrintable(started.error().description));
        return 1;
    }
    cluster = std::move(started).value();
    if (!cluster->run(QStringLiteral("CREATE ROLE ann LOGIN PASSWORD 'ann''s secret'")))
        return 1;
    benchmark::RegisterBenchmark("move books of 100,000 ledger rows to a server", toServer)
        ->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("move books of 100,000 ledger rows to a new file", toFile)
        ->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    cluster.reset();
    return 0;
}
