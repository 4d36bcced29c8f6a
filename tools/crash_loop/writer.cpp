#include "writer.h"

#include "maintenance/database_copy.h"

#include "ledger_log.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/record_set.h"
#include "summary/portfolio_summary.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cstdio>
#include <optional>
#include <random>

namespace halvo::crashloop {

namespace {

const QString ledgerRow = QStringLiteral("SELECT * FROM tblFinance WHERE ID = ?");
const QString insertRow = QStringLiteral(
    "INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, Category, Memo, Income) "
    "VALUES (?, ?, ?, ?, ?, ?, ?)");

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// A row of the ledger, by its counter and its check number.
struct Picked {
    QVariant id;
    QString key;
};

class Writer {
public:
    Writer(Connection connection, const WriterOptions& options)
        : conn(std::move(connection))
        , options(options)
        , random(options.seed)
        , summary(QFileInfo(options.file).absolutePath())
    {
    }

    Status start();
    // Goes on after a restore, without saying "ready" again.
    Status resume();
    Status writeOneUnit();

private:
    Connection conn;
    WriterOptions options;
    std::mt19937_64 random;
    RecordSet adder;                    // a ledger window's set, where new records are added
    RecordSet editor;                   // re-opened on the one record that is changed
    std::optional<Transaction> holding; // only when confirming early
    PortfolioSummary summary;           // the main window's totals, ticked as its timer ticks them
    qlonglong rowsMade = 0;
    int unitsHeld = 0;

    int roll(int below) { return int(std::uniform_int_distribution<int>(0, below - 1)(random)); }
    QString newKey() { return QStringLiteral("%1-%2").arg(options.generation).arg(++rowsMade); }
    QString newMemoTag()
    {
        return QStringLiteral("ed%1-%2").arg(options.generation).arg(++rowsMade);
    }
    Result<Picked> someRow();

    Status enterThroughRecordSet(const QString& key);
    Status addThroughRecordSet(Unit& unit);
    Status editThroughRecordSet(Unit& unit);
    Status deleteThroughRecordSet(Unit& unit);
    Status severalInOneTransaction(Unit& unit);
    Status committed();
    void summaryTick();
};

Status Writer::start()
{
    if (Status s = resume(); !s)
        return s;
    say(QStringLiteral("ready"));
    return {};
}

Status Writer::resume()
{
    if (Status s = adder.open(conn, QStringLiteral("SELECT * FROM tblFinance WHERE ID < 0")); !s)
        return s;
    if (options.confirmEarly)
        holding.emplace(conn);
    return {};
}

// A row of the ledger chosen at random; an empty key when the ledger is empty.
Result<Picked> Writer::someRow()
{
    Result<Rows> span = conn.select(QStringLiteral("SELECT min(ID), max(ID) FROM tblFinance"));
    if (!span)
        return span.error();
    const QVariantList ends = span.value().values.value(0);
    if (ends.value(0).isNull())
        return Picked{};
    const qlonglong from = std::uniform_int_distribution<qlonglong>(
        ends.value(0).toLongLong(), ends.value(1).toLongLong())(random);
    Result<Rows> row = conn.select(
        QStringLiteral("SELECT ID, CheckNo FROM tblFinance WHERE ID >= ? ORDER BY ID LIMIT 1"),
        {from});
    if (!row)
        return row.error();
    const QVariantList found = row.value().values.value(0);
    return Picked{found.value(0), found.value(1).toString()};
}

// The income window's way: a new record, its fields typed in, then saved.
Status Writer::enterThroughRecordSet(const QString& key)
{
    if (Status s = adder.addNew(); !s)
        return s;
    const std::pair<const char*, QVariant> fields[] = {
        {"NickName", QStringLiteral("ELM")},
        {"RecDate", dateFor(key)},
        {"CheckNo", key},
        {"Payee", payeeFor(key)},
        {"Category", QStringLiteral("Rent")},
        {"Memo", memoFor(firstMemoTag(key))},
        {"Income", QVariant::fromValue(incomeFor(key))},
    };
    for (const auto& [name, value] : fields)
        if (Status s = adder.setValue(QString::fromLatin1(name), value); !s)
            return s;
    return adder.update();
}

Status Writer::addThroughRecordSet(Unit& unit)
{
    const QString key = newKey();
    unit.append({Change::Kind::Add, key, firstMemoTag(key)});
    say(QStringLiteral("want ") + describe(unit));
    return enterThroughRecordSet(key);
}

// An editor's way: the record is changed in the buffer and written either on request or when
// another record becomes current.
Status Writer::editThroughRecordSet(Unit& unit)
{
    Result<Picked> key = someRow();
    if (!key)
        return key.error();
    if (key.value().key.isEmpty())
        return addThroughRecordSet(unit);
    const QString tag = newMemoTag();
    unit.append({Change::Kind::Edit, key.value().key, tag});
    say(QStringLiteral("want ") + describe(unit));
    if (Status s = editor.open(conn, ledgerRow, {key.value().id}); !s)
        return s;
    if (editor.recordCount() != 1)
        return Error{QStringLiteral("The row %1 is not in the ledger.").arg(key.value().key)};
    if (Status s = editor.setValue(QStringLiteral("Memo"), memoFor(tag)); !s)
        return s;
    return roll(2) == 0 ? editor.update() : editor.moveNext();
}

Status Writer::deleteThroughRecordSet(Unit& unit)
{
    Result<Picked> key = someRow();
    if (!key)
        return key.error();
    if (key.value().key.isEmpty())
        return addThroughRecordSet(unit);
    unit.append({Change::Kind::Delete, key.value().key, {}});
    say(QStringLiteral("want ") + describe(unit));
    if (Status s = editor.open(conn, ledgerRow, {key.value().id}); !s)
        return s;
    if (editor.recordCount() != 1)
        return Error{QStringLiteral("The row %1 is not in the ledger.").arg(key.value().key)};
    return editor.deleteCurrent();
}

// Several rows added, one changed and one removed as one unit of work, by statements on the
// connection and by the record set together.
Status Writer::severalInOneTransaction(Unit& unit)
{
    Result<Picked> edited = someRow();
    Result<Picked> removed = someRow();
    if (!edited)
        return edited.error();
    if (!removed)
        return removed.error();
    const int adds = 2 + roll(5);
    for (int i = 0; i < adds; ++i) {
        const QString key = newKey();
        unit.append({Change::Kind::Add, key, firstMemoTag(key)});
    }
    // The rows already there are found by their counter, as a record set finds them.
    QHash<QString, QVariant> ids;
    if (const Picked& p = edited.value(); !p.key.isEmpty()) {
        unit.append({Change::Kind::Edit, p.key, newMemoTag()});
        ids.insert(p.key, p.id);
    }
    if (const Picked& p = removed.value(); !p.key.isEmpty() && !ids.contains(p.key)) {
        unit.append({Change::Kind::Delete, p.key, {}});
        ids.insert(p.key, p.id);
    }
    say(QStringLiteral("want ") + describe(unit));

    Transaction work(conn);
    if (!work.status())
        return work.status();
    const bool firstByRecordSet = roll(2) == 0;
    for (const Change& c : unit) {
        Result<int> r = Error{};
        if (c.kind == Change::Kind::Add && firstByRecordSet && &c == &unit.front()) {
            if (Status s = enterThroughRecordSet(c.key); !s)
                return s;
            continue;
        }
        if (c.kind == Change::Kind::Add)
            r = conn.execute(insertRow,
                             {QStringLiteral("OAK"), dateFor(c.key), c.key, payeeFor(c.key),
                              QStringLiteral("Rent"), memoFor(c.memoTag),
                              QVariant::fromValue(incomeFor(c.key))});
        else if (c.kind == Change::Kind::Edit)
            r = conn.execute(QStringLiteral("UPDATE tblFinance SET Memo = ? WHERE ID = ?"),
                             {memoFor(c.memoTag), ids.value(c.key)});
        else
            r = conn.execute(QStringLiteral("DELETE FROM tblFinance WHERE ID = ?"),
                             {ids.value(c.key)});
        if (!r)
            return r.error();
        if (r.value() != 1)
            return Error{QStringLiteral("The row %1 is not in the ledger.").arg(c.key)};
    }
    return work.commit();
}

// Only a unit whose write came back as a success is reported as written.
Status Writer::committed()
{
    if (holding && ++unitsHeld % 150 == 0) {
        if (Status s = holding->commit(); !s)
            return s;
        holding.reset();
        holding.emplace(conn);
    }
    say(QStringLiteral("done"));
    summaryTick();
    return {};
}

// The summary reads the program folder's database; a file of another name (--file) has no
// summary to tick.
void Writer::summaryTick()
{
    const QFileInfo file(options.file);
    if (file.absoluteFilePath() != QFileInfo(databasePath(file.absolutePath())).absoluteFilePath())
        return;
    summary.tick();
    if (options.secondDescriptor) {
        QFile file(options.file);
        if (file.open(QIODevice::ReadOnly))
            (void)file.read(16);
    }
}

Status Writer::writeOneUnit()
{
    Unit unit;
    Status written;
    const int kind = roll(100);
    if (kind < 55)
        written = addThroughRecordSet(unit);
    else if (kind < 70)
        written = editThroughRecordSet(unit);
    else if (kind < 80)
        written = deleteThroughRecordSet(unit);
    else if (kind < 97)
        written = severalInOneTransaction(unit);
    else if (!holding && options.rekey) {
        const QStringList keys = rekeyKeys();
        const QString other = fileKey(options.file) == keys[0] ? keys[1] : keys[0];
        // Refused while the other program reads the file: the file stays as it was, and so
        // does the writer's work.
        (void)rekeyLiveDatabase(conn, other, std::nullopt);
        return {};
    } else if (!holding)
        // What a backup does first; a kill can land in the middle of it.
        return conn.checkpoint();
    else
        return {};
    if (!written)
        return written;
    return committed();
}

} // namespace

QStringList rekeyKeys()
{
    return {DatabasePassword,
            QStringLiteral("x'%1%2'").arg(QString(64, QLatin1Char('7')),
                                          QString::fromLatin1(QByteArrayLiteral("CrashLoopSalt016").toHex()))};
}

bool useKeyThatOpens(const QString& path)
{
    for (const QString& key : rekeyKeys()) {
        releaseDatabase(path);
        setFileKey(path, key);
        if (Connection::openFile(path, DatabasePassword))
            return true;
    }
    releaseDatabase(path);
    setFileKey(path, DatabasePassword);
    return false;
}

namespace {

// The backup of a moment ago put in the file's place, with no connection open, as the Backup
// menu's two commands do it; the file it replaced is not kept, so that the loop's folder does
// not fill up with them.
Status restoreOwnBackup(const QString& file)
{
    const QString backup = file + QStringLiteral(".backup");
    {
        Result<Connection> conn = Connection::openFile(file, DatabasePassword);
        if (!conn)
            return conn.error();
        if (Status copied = copyLiveDatabase(conn.value(), backup, fileKey(file)); !copied)
            return copied;
    }
    const QString kept = file + QStringLiteral(".kept");
    QFile::remove(kept);
    if (Status restored = replaceLiveDatabase(backup, file, kept); !restored)
        return restored;
    QFile::remove(kept);
    return {};
}

} // namespace

int runWriter(const WriterOptions& options)
{
    if (options.rekey && !useKeyThatOpens(options.file)) {
        std::fprintf(stderr, "The file opens with neither key.\n");
        return 1;
    }
    std::mt19937_64 restores(options.seed ^ 0x5eed);
    for (int cycle = 0;; ++cycle) {
        const bool first = cycle == 0;
        Status s;
        {
            Result<Connection> conn = Connection::openFile(options.file, DatabasePassword);
            if (!conn) {
                std::fprintf(stderr, "%s\n", qPrintable(conn.error().description));
                return 1;
            }
            WriterOptions run = options;
            run.seed = first ? options.seed : restores();
            // Each writer between two restores makes check numbers of its own.
            if (options.restore)
                run.generation = options.generation * 1000 + cycle;
            Writer writer(conn.value(), run);
            s = first ? writer.start() : writer.resume();
            // With restores, a few units between two of them; otherwise until killed.
            for (int units = options.restore ? 2 + int(restores() % 4) : -1; s && units != 0; --units)
                s = writer.writeOneUnit();
        }
        // Refused while the other program reads the file: the file stays as it was, and so
        // does the writer's work.
        if (s && options.restore) {
            releaseDatabase(options.file);
            (void)restoreOwnBackup(options.file);
        }
        if (!s) {
            std::fprintf(stderr, "The writer stopped: %s\n", qPrintable(s.error().description));
            return 1;
        }
    }
}

} // namespace halvo::crashloop
