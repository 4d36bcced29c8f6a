#pragma once
// What the benchmarks share: a database with a large ledger, and the process's peak memory.

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/schema.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <vector>

namespace halvo::bench {

// A program folder with a database whose ledger holds `rows` transactions over ten years, one in
// four an expense, the rest income. Made once per run, in one unit of work.
class LargeDatabase {
public:
    explicit LargeDatabase(long long rows)
    {
        if (!createDatabase(path(), DatabasePassword))
            std::abort();
        Connection c = Connection::openFile(path(), DatabasePassword).value();
        const QString fill = QStringLiteral(
            "BEGIN;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, Category, Memo, Income, "
            "Expense) SELECT 'PROP' || (i % 40), date('2017-01-01', '+' || (i % 3650) || ' days'), "
            "i, 'Payee ' || (i % 300), CASE i % 4 WHEN 0 THEN 'Repairs' ELSE 'Rent' END, "
            "'memo ' || i, CASE i % 4 WHEN 0 THEN 0 ELSE 1000000 + i END, "
            "CASE i % 4 WHEN 0 THEN 250000 + i ELSE 0 END FROM n;"
            "COMMIT;")
                                 .arg(rows);
        if (!c.executeScript(fill))
            std::abort();
    }
    ~LargeDatabase() { releaseDatabase(path()); }

    QString folder() const { return dir.path(); }
    QString path() const { return databasePath(dir.path()); }

private:
    QTemporaryDir dir;
};

// Peak resident memory, in megabytes, since the last reset.
inline void resetPeakMemory()
{
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

inline double peakMemoryMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The time and the peak memory growth of one step (a window opened and shown, the rows read).
struct Opening {
    double ms = 0;
    double growthMB = 0;
};

template <class Step>
Opening measureOpening(Step step)
{
    resetPeakMemory();
    const double before = peakMemoryMB();
    QElapsedTimer timer;
    timer.start();
    step();
    return {timer.nsecsElapsed() / 1e6, peakMemoryMB() - before};
}

// What a run of openings reports: their median time and the largest growth of peak memory.
inline void reportOpenings(benchmark::State& state, const std::vector<double>& ms,
                           const std::vector<double>& mb)
{
    state.counters["median_ms"] = median(ms);
    state.counters["peak_growth_MB"] = mb.empty() ? 0 : *std::max_element(mb.begin(), mb.end());
}

// Runs `step` once an iteration, timing it alone, and reports the median in milliseconds.
template <class Step>
void timeEach(benchmark::State& state, Step step)
{
    std::vector<double> ms;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        step();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    state.counters["median_ms"] = median(ms);
}

} // namespace halvo::bench
