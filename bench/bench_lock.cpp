// The login to a file locked with the password: the key Argon2id gives from the password (64 MiB,
// three passes) and the file opened with it, on a ledger of a million rows. The login may take at
// most 1 s. Beside it the fixed password's open, and the locking itself.

#include "bench_support.h"

#include "lock/file_lock.h"
#include "shell/database_lock.h"

#include <QApplication>

using namespace halvo;

namespace {

bench::LargeDatabase* db = nullptr;

void forget()
{
    releaseDatabase(db->path());
    setFileKey(db->path(), DatabasePassword);
}

void loginToLockedFile(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        forget();
        state.ResumeTiming();
        if (!passwordOpens(db->folder(), QStringLiteral("Secret")).valueOr(false))
            state.SkipWithError("the password did not open the file");
    }
}

void openWithFixedPassword(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        state.PauseTiming();
        releaseDatabase(path);
        state.ResumeTiming();
        if (!Connection::openFile(path, DatabasePassword))
            state.SkipWithError("the file did not open");
    }
}

void lockTheFile(benchmark::State& state)
{
    for (auto _ : state)
        if (!lockDatabase(nullptr, db->folder(), QStringLiteral("Secret")))
            state.SkipWithError("the file was not locked");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::LargeDatabase large(1000000);
    db = &large;
    bench::LargeDatabase fixed(1000);
    const QString fixedPath = fixed.path();

    benchmark::RegisterBenchmark("fixed password: open the file", [&](benchmark::State& s) {
        openWithFixedPassword(s, fixedPath);
    })->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("lock the file with the password, 1M ledger", lockTheFile)
        ->Unit(benchmark::kMillisecond)->Iterations(1);
    benchmark::RegisterBenchmark("login to the locked file (at most 1 s), 1M ledger",
                                 loginToLockedFile)
        ->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    forget();
    return 0;
}
