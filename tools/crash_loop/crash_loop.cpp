#include "crash_loop.h"
#include "writer.h"

#include "ledger_log.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/schema.h"
#include "data/sqlite_statement.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <thread>

namespace halvo::crashloop {

namespace {

constexpr int readyTimeoutMs = 10000;

void report(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

struct Totals {
    int kills = 0;
    int unitsConfirmed = 0;
    int rowsConfirmed = 0;
    int editsConfirmed = 0;
    int deletesConfirmed = 0;
    int integrityFailures = 0;
    int damagedRows = 0;
    int writerFailures = 0;
    int filesMissing = 0; // kills after which no file stood under the database's name
    Findings findings;

    bool ok() const
    {
        return findings.ok() && integrityFailures == 0 && damagedRows == 0 && writerFailures == 0
               && filesMissing == 0;
    }
};

// What one kill left behind: the writer's output and how it ended.
struct Killed {
    QByteArray output;
    QByteArray errors;
    bool endedByItself = false;
    QString failure;
};

// What the file holds after a kill.
struct Ledger {
    LedgerRows rows;
    int damaged = 0;
    bool whole = false;
    QString problem;
};

class Loop {
public:
    explicit Loop(const LoopOptions& options)
        : options(options)
        , random(options.seed)
    {
    }
    bool runRound(int round);
    const Totals& totals() const { return sum; }

private:
    LoopOptions options;
    std::mt19937_64 random;
    Totals sum;
    LedgerRows confirmed; // what the file holds for certain, as of the last check
    QSet<QString> deleted;

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    QTemporaryDir logs;
    Killed startAndKill(int round, std::uint64_t writerSeed, bool fromStart, int delayUs);
    Ledger readLedger() const;
    void count(const Unit& unit);
};

// Another program reading the file while the writer works, as the sqlcipher command line does:
// it opens the file for reading and writing, gives the key, reads, and closes. Closing, it would
// empty the log into the file and delete it if it found no other program holding the file.
void readAsAnotherProgram(const QString& path)
{
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    const QByteArray key = DatabasePassword.toUtf8();
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
        && sqlite3_key(db, key.constData(), int(key.size())) == SQLITE_OK
        && sqlite3_exec(db, detail::cipherPageSize, nullptr, nullptr, nullptr) == SQLITE_OK)
        (void)sqlite3_exec(db, "SELECT count(*) FROM tblFinance", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Killed Loop::startAndKill(int round, std::uint64_t writerSeed, bool fromStart, int delayUs)
{
    QStringList args{QStringLiteral("--writer"),     options.file,
                     QStringLiteral("--seed"),       QString::number(writerSeed),
                     QStringLiteral("--generation"), QString::number(round)};
    if (options.confirmEarly)
        args.append(QStringLiteral("--confirm-early"));
    if (options.secondDescriptor)
        args.append(QStringLiteral("--second-descriptor"));
    if (options.rekey)
        args.append(QStringLiteral("--rekey"));
    if (options.restore)
        args.append(QStringLiteral("--restore"));
    // The writer's output goes to files, not to pipes: the loop then never wakes on a line the
    // writer has just printed, so the moment of the kill owes nothing to where the writer is in
    // its work, and a full pipe never holds the writer up.
    const QString outputPath = logs.filePath(QStringLiteral("writer-output"));
    const QString errorsPath = logs.filePath(QStringLiteral("writer-errors"));
    QProcess writer;
    writer.setStandardOutputFile(outputPath);
    writer.setStandardErrorFile(errorsPath);
    Killed k;
    QElapsedTimer clock;
    clock.start();
    writer.start(options.program, args);
    if (!writer.waitForStarted()) {
        k.failure = QStringLiteral("the writer did not start: ") + writer.errorString();
        return k;
    }
    // Most kills land among the writes: the moment counts from when the file is open.
    while (!fromStart && !k.endedByItself && !contentsOf(outputPath).contains("ready\n")) {
        if (clock.elapsed() > readyTimeoutMs) {
            k.failure = QStringLiteral("the writer did not open the file in time");
            break;
        }
        k.endedByItself = writer.waitForFinished(1);
    }
    // Among the writes another program reads the file, and the writer goes on writing after it.
    if (!k.endedByItself) {
        const int readerAtUs = between(0, delayUs / 2);
        std::this_thread::sleep_for(std::chrono::microseconds(readerAtUs));
        readAsAnotherProgram(options.file);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs - readerAtUs));
    }
    if (!k.endedByItself && !writer.waitForFinished(0)) {
        ::kill(pid_t(writer.processId()), SIGKILL);
        writer.waitForFinished();
    } else {
        writer.waitForFinished();
        k.endedByItself = true;
    }
    k.output = contentsOf(outputPath);
    k.errors = contentsOf(errorsPath);
    return k;
}

Ledger Loop::readLedger() const
{
    Ledger l;
    // Keyed anew at the kill or not, the file opens with the old key or the new one.
    if (options.rekey && !useKeyThatOpens(options.file)) {
        l.problem = QStringLiteral("the file opens with neither key");
        return l;
    }
    {
        Result<Connection> c = Connection::openFile(options.file, DatabasePassword);
        if (!c) {
            l.problem = c.error().description;
            releaseDatabase(options.file);
            return l;
        }
        Result<Rows> check = c.value().select(QStringLiteral("PRAGMA integrity_check"));
        l.whole = check && check.value().values.size() == 1 &&
                  check.value().values[0].value(0).toString() == QLatin1String("ok");
        if (!l.whole)
            l.problem = check ? check.value().values.value(0).value(0).toString()
                              : check.error().description;
        Result<Rows> rows = c.value().select(
            QStringLiteral("SELECT CheckNo, Payee, Income, RecDate, Memo FROM tblFinance"));
        if (!rows) {
            l.whole = false;
            l.problem = rows.error().description;
        }
        for (const QVariantList& r : rows ? rows.value().values : QList<QVariantList>{}) {
            const QString key = r.value(0).toString();
            const std::optional<QString> tag = tagOfMemo(r.value(4).toString());
            const bool wholeRow = tag && r.value(1).toString() == payeeFor(key) &&
                                  r.value(2).value<Money>() == incomeFor(key) &&
                                  r.value(3).toDate() == dateFor(key);
            if (!wholeRow || l.rows.contains(key))
                ++l.damaged;
            l.rows.insert(key, tag.value_or(QString()));
        }
    }
    // Closed again, so that the next writer finds the file as a program starting afresh does.
    releaseDatabase(options.file);
    return l;
}

void Loop::count(const Unit& unit)
{
    ++sum.unitsConfirmed;
    for (const Change& c : unit) {
        if (c.kind == Change::Kind::Add)
            ++sum.rowsConfirmed;
        else if (c.kind == Change::Kind::Edit)
            ++sum.editsConfirmed;
        else
            ++sum.deletesConfirmed;
        if (c.kind == Change::Kind::Delete)
            deleted.insert(c.key);
    }
}

void add(Findings& total, const Findings& f)
{
    total.rowsLost += f.rowsLost;
    total.editsLost += f.editsLost;
    total.deletesUndone += f.deletesUndone;
    total.unexpectedRows += f.unexpectedRows;
    total.tornUnits += f.tornUnits;
}

bool Loop::runRound(int round)
{
    const std::uint64_t writerSeed = random();
    const bool fromStart = between(1, 10) == 1; // now and then the kill lands in the opening
    const int delayUs = fromStart ? between(5000, 80000) : between(5000, 200000);
    const Killed k = startAndKill(round, writerSeed, fromStart, delayUs);
    ++sum.kills;
    const QString where = QStringLiteral("kill %1 (writer seed %2, %3 ms after %4)")
                              .arg(round)
                              .arg(writerSeed)
                              .arg(delayUs / 1000.0, 0, 'f', 3)
                              .arg(fromStart ? QStringLiteral("start") : QStringLiteral("ready"));

    WriterLog log;
    const bool readable = log.read(k.output);
    if (!k.failure.isEmpty() || k.endedByItself || !readable) {
        ++sum.writerFailures;
        report(QStringLiteral("%1: the writer failed: %2%3 %4")
                   .arg(where, k.failure,
                        readable ? QString() : QStringLiteral(" (unreadable output)"),
                        QString::fromUtf8(k.errors).trimmed()));
    }
    LedgerRows expected = confirmed;
    for (const Unit& unit : log.committed()) {
        count(unit);
        expected = applied(expected, unit);
    }

    if (!QFileInfo(options.file).isFile()) {
        ++sum.filesMissing;
        report(QStringLiteral("%1: no database file is left").arg(where));
    }
    const Ledger found = readLedger();
    if (!found.whole) {
        ++sum.integrityFailures;
        report(QStringLiteral("%1: the file is not whole: %2").arg(where, found.problem));
        if (found.rows.isEmpty() && !expected.isEmpty())
            return false; // nothing more can be learned from this file
    }
    if (found.damaged) {
        sum.damagedRows += found.damaged;
        report(QStringLiteral("%1: %2 rows are torn or doubled").arg(where).arg(found.damaged));
    }
    const Findings f = compare(expected, log.inFlight(), found.rows, deleted);
    if (!f.ok()) {
        add(sum.findings, f);
        report(QStringLiteral("%1: rows lost %2, edits lost %3, deletes undone %4, unexpected rows "
                              "%5, torn units %6; in flight: %7")
                   .arg(where)
                   .arg(f.rowsLost)
                   .arg(f.editsLost)
                   .arg(f.deletesUndone)
                   .arg(f.unexpectedRows)
                   .arg(f.tornUnits)
                   .arg(log.inFlight() ? describe(*log.inFlight()) : QStringLiteral("nothing")));
    }
    // The unit in flight may have reached the file; what is there now is the ground for the next
    // kill, so that one fault is counted once.
    for (const Change& c : log.inFlight().value_or(Unit{}))
        if (c.kind == Change::Kind::Delete && !found.rows.contains(c.key))
            deleted.insert(c.key);
    for (auto it = found.rows.cbegin(); it != found.rows.cend(); ++it)
        deleted.remove(it.key());
    confirmed = found.rows;
    return true;
}

} // namespace

int runLoop(const LoopOptions& options)
{
    QElapsedTimer clock;
    clock.start();
    report(QStringLiteral("seed: %1 (repeat with --seed %1)").arg(options.seed));
    if (QFileInfo::exists(options.file)) {
        report(QStringLiteral("The file \"%1\" exists already; the loop makes its own.")
                   .arg(options.file));
        return 2;
    }
    if (Status made = createDatabase(options.file, DatabasePassword); !made) {
        report(made.error().description);
        return 2;
    }
    Loop loop(options);
    for (int round = 1; round <= options.kills; ++round) {
        if (!loop.runRound(round))
            break;
        if (round % 50 == 0)
            report(QStringLiteral("%1 kills, %2 rows confirmed")
                       .arg(round)
                       .arg(loop.totals().rowsConfirmed));
    }
    const Totals& t = loop.totals();
    report(QStringLiteral("kills: %1, rows confirmed: %2, rows lost: %3, integrity failures: %4")
               .arg(t.kills)
               .arg(t.rowsConfirmed)
               .arg(t.findings.rowsLost)
               .arg(t.integrityFailures));
    report(QStringLiteral("units confirmed: %1, edits confirmed: %2, deletes confirmed: %3; edits "
                          "lost: %4, deletes undone: %5, unexpected rows: %6, torn units: %7, torn "
                          "or doubled rows: %8, writer failures: %9, database file missing after "
                          "%10 kills")
               .arg(t.unitsConfirmed)
               .arg(t.editsConfirmed)
               .arg(t.deletesConfirmed)
               .arg(t.findings.editsLost)
               .arg(t.findings.deletesUndone)
               .arg(t.findings.unexpectedRows)
               .arg(t.findings.tornUnits)
               .arg(t.damagedRows)
               .arg(t.writerFailures)
               .arg(t.filesMissing));
    report(QStringLiteral("file: %1 bytes, time: %2 s")
               .arg(QFileInfo(options.file).size())
               .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1));
    report(t.ok() ? QStringLiteral("result: every confirmed change survived every kill")
                  : QStringLiteral("result: FAILED"));
    return t.ok() ? 0 : 1;
}

} // namespace halvo::crashloop
