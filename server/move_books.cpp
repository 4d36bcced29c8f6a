#include "move_books.h"

#include "data/file_identity.h"
#include "data/schema.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <optional>

namespace halvo {

qint64 BooksMoved::rowsMoved() const
{
    qint64 total = 0;
    for (const MovedTable& t : tables)
        total += t.rows;
    return total;
}

qint64 BooksMoved::rowsOf(const QString& table) const
{
    for (const MovedTable& t : tables)
        if (t.table.compare(table, Qt::CaseInsensitive) == 0)
            return t.rows;
    return 0;
}

namespace {

// A table of the books as the file declares it. The file is the measure of both directions:
// what a move copies is every table the file has (the one moved from, or the new one moved
// into, which has every table of the program), never a list kept by hand.
struct TableShape {
    QString name;
    QStringList columns;
    QStringList money;        // the columns declared CURRENCY
    QStringList key;          // the primary key's columns, in its order
    bool hasId = false;       // keyed by an ID counter
    bool hasBytes = false;    // holds documents' bytes: read a few rows at a time
    bool keptByTriggers = false;
};

const QString AttachmentTable = QStringLiteral("tblAttachment");
const QString ChunkTable = QStringLiteral("tblAttachmentChunk");

// The tables a trigger of the file adds rows to (the ledger's day sums): copying the rows they
// are made from makes rows there as well, where the triggers run.
Result<QSet<QString>> tablesTriggersFill(const Connection& file)
{
    Result<QStringList> triggers =
        file.texts(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'trigger'"));
    if (!triggers)
        return triggers.error();
    static const QRegularExpression into(QStringLiteral("\\bINTO\\s+([A-Za-z_][A-Za-z0-9_]*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    QSet<QString> filled;
    for (const QString& sql : triggers.value())
        for (auto m = into.globalMatch(sql); m.hasNext();)
            filled.insert(m.next().captured(1).toLower());
    return filled;
}

Result<QList<TableShape>> tablesOf(const Connection& file)
{
    Result<QStringList> names = file.texts(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\' ORDER BY rowid"));
    if (!names)
        return names.error();
    Result<QSet<QString>> filled = tablesTriggersFill(file);
    if (!filled)
        return filled.error();
    QList<TableShape> shapes;
    QList<TableShape> keptLast;
    for (const QString& name : names.value()) {
        // The login's password stays with its file: shared books are opened with each person's
        // password on the server, and the file's would only lie open there to the whole office.
        if (name.compare(QLatin1String("tblUser"), Qt::CaseInsensitive) == 0)
            continue;
        // The name comes from the file's own catalogue, never from a user.
        Result<Rows> info = file.select(QStringLiteral("PRAGMA table_info(\"%1\")").arg(name));
        if (!info)
            return info.error();
        TableShape t;
        t.name = name;
        QMap<int, QString> key;
        for (const QVariantList& c : info.value().values) {
            const QString column = c.value(1).toString();
            const QString type = c.value(2).toString().toUpper();
            t.columns.append(column);
            if (type == QLatin1String("CURRENCY"))
                t.money.append(column);
            if (type == QLatin1String("BLOB"))
                t.hasBytes = true;
            if (c.value(5).toInt() > 0)
                key.insert(c.value(5).toInt(), column);
            if (column.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0)
                t.hasId = true;
        }
        t.key = key.values();
        t.keptByTriggers = filled.value().contains(name.toLower());
        // Copied after the tables whose triggers fill them, so that what those made can be
        // replaced by the rows themselves.
        (t.keptByTriggers ? keptLast : shapes).append(t);
    }
    return shapes + keptLast;
}

QString placeOf(const Connection& books) { return books.filePath(); }

// The shared books' tables must all be there before anything is written: a server whose books
// lack one the file has was made by another version.
Outcome<void, MoveRefusal> refuseUnready(const QList<TableShape>& tables, const Connection& into,
                                         bool mustBeEmpty)
{
    for (const TableShape& t : tables) {
        Result<QString> there = into.tableNamed(t.name);
        if (!there)
            return there.error();
        if (there.value().isNull())
            return MoveRefusal{MoveRefusal::Kind::TableMissing, placeOf(into), t.name, {}, {}, {}};
        if (!mustBeEmpty)
            continue;
        Result<QVariant> row = into.scalar(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(t.name));
        if (!row)
            return row.error();
        if (!row.value().isNull())
            return MoveRefusal{MoveRefusal::Kind::BooksHoldRecords, placeOf(into), t.name, {}, {}, {}};
    }
    return {};
}

// Rows go in many to a statement: the server takes up to 65,535 values in one, the file's
// engine 999. A statement of documents' bytes is kept to a few megabytes.
struct Batch {
    const TableShape& table;
    const Connection& into;
    int rowsPerStatement;
    QVariantList values;
    int rows = 0;
    qint64 bytes = 0;

    Status add(QVariantList row)
    {
        for (const QVariant& v : row)
            if (v.metaType().id() == QMetaType::QByteArray)
                bytes += v.toByteArray().size();
        values.append(std::move(row));
        ++rows;
        if (rows >= rowsPerStatement || bytes >= 8 * 1024 * 1024)
            return flush();
        return {};
    }

    Status flush()
    {
        if (rows == 0)
            return {};
        const QString one = QLatin1Char('(')
                            + QStringList(table.columns.size(), QStringLiteral("?"))
                                  .join(QLatin1Char(','))
                            + QLatin1Char(')');
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                                .arg(table.name, table.columns.join(QStringLiteral(", ")),
                                     QStringList(rows, one).join(QLatin1Char(',')));
        Result<int> done = into.execute(sql, values);
        values.clear();
        rows = 0;
        bytes = 0;
        if (!done)
            return done.error();
        return {};
    }
};

// The rows are read a page at a time in the order of the table's key, each page after the last
// key read: a server hands a statement's rows over all at once, and a table of documents' bytes
// would not fit in memory whole.
Status copyRows(const TableShape& t, const Connection& from, const Connection& into)
{
    const int valuesPerStatement = into.isServer() ? 30000 : 999;
    Batch batch{t, into, std::max(1, valuesPerStatement / int(t.columns.size())), {}, 0, 0};
    const int pageRows = t.hasBytes ? 16 : 5000;
    QVariantList after; // the last key read
    const QString columns = t.columns.join(QStringLiteral(", "));
    const QString order = t.key.join(QStringLiteral(", "));
    for (;;) {
        QString sql = QStringLiteral("SELECT %1 FROM %2").arg(columns, t.name);
        if (!after.isEmpty())
            sql += QStringLiteral(" WHERE (%1) > (%2)")
                       .arg(order, QStringList(t.key.size(), QStringLiteral("?")).join(u','));
        if (!t.key.isEmpty())
            sql += QStringLiteral(" ORDER BY %1 LIMIT %2").arg(order).arg(pageRows);
        int read = 0;
        Status added;
        Status walked = from.eachRow(sql, after, [&](const QStringList&, QVariantList row) {
            ++read;
            after.clear();
            for (const QString& k : t.key)
                after.append(row.value(t.columns.indexOf(k)));
            added = batch.add(std::move(row));
            return added.ok();
        });
        if (!walked)
            return walked;
        if (!added)
            return added;
        if (t.key.isEmpty() || read < pageRows)
            return batch.flush();
    }
}

Result<qint64> countOf(const Connection& books, const QString& table)
{
    Result<QVariant> n = books.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
    if (!n)
        return n.error();
    return n.value().toLongLong();
}

// Each document's chunks, put together where they arrived, hash to the Sha256 it is kept under.
Outcome<void, MoveRefusal> checkDocuments(const Connection& into)
{
    Result<Rows> documents =
        into.select(QStringLiteral("SELECT ID, Sha256 FROM %1 ORDER BY ID").arg(AttachmentTable));
    if (!documents)
        return documents.error();
    for (const QVariantList& d : documents.value().values) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        Status read = into.eachRow(
            QStringLiteral("SELECT Data FROM %1 WHERE AttachmentID = ? ORDER BY Part").arg(ChunkTable),
            {d.value(0)}, [&hash](const QStringList&, QVariantList row) {
                hash.addData(row.value(0).toByteArray());
                return true;
            });
        if (!read)
            return read.error();
        const QString made = QString::fromLatin1(hash.result().toHex());
        if (made.compare(d.value(1).toString(), Qt::CaseInsensitive) != 0)
            return MoveRefusal{MoveRefusal::Kind::DocumentDiffers, placeOf(into), AttachmentTable,
                               {}, d.value(1).toString(), d.value(0).toString()};
    }
    return {};
}

// What arrived is what was sent: every table's rows, every money column's sum, every document.
Outcome<BooksMoved, MoveRefusal> check(const QList<TableShape>& tables, const Connection& from,
                                       const Connection& into)
{
    BooksMoved moved{placeOf(from), placeOf(into), {}};
    bool hasDocuments = false;
    for (const TableShape& t : tables) {
        Result<qint64> sent = countOf(from, t.name);
        Result<qint64> arrived = countOf(into, t.name);
        if (!sent)
            return sent.error();
        if (!arrived)
            return arrived.error();
        if (sent.value() != arrived.value())
            return MoveRefusal{MoveRefusal::Kind::RowsDiffer, placeOf(into), t.name, {},
                               QString::number(sent.value()), QString::number(arrived.value())};
        for (const QString& column : t.money) {
            const QString sum = QStringLiteral("SELECT SUM(%1) FROM %2").arg(column, t.name);
            Result<Money> expected = from.sum(sum);
            Result<Money> found = into.sum(sum);
            if (!expected)
                return expected.error();
            if (!found)
                return found.error();
            if (expected.value() != found.value())
                return MoveRefusal{MoveRefusal::Kind::MoneyDiffers, placeOf(into), t.name, column,
                                   expected.value().toString(), found.value().toString()};
        }
        hasDocuments = hasDocuments || t.name.compare(AttachmentTable, Qt::CaseInsensitive) == 0;
        moved.tables.append({t.name, arrived.value()});
    }
    if (hasDocuments) {
        if (auto documents = checkDocuments(into); !documents)
            return documents.refused() ? MoveOutcome(documents.refusal())
                                       : MoveOutcome(documents.error());
    }
    return moved;
}

// The server's counters go on after the highest ID moved, or the next record added there would
// take an ID a moved one has. (The file's engine keeps its counters itself.)
Status continueCounters(const QList<TableShape>& tables, const Connection& server)
{
    for (const TableShape& t : tables) {
        if (!t.hasId)
            continue;
        Result<QVariant> set = server.scalar(
            QStringLiteral("SELECT setval(pg_get_serial_sequence(?, 'id'), m) "
                           "FROM (SELECT MAX(ID) AS m FROM %1) AS highest WHERE m IS NOT NULL")
                .arg(t.name),
            {t.name});
        if (!set)
            return set.error();
    }
    return {};
}

// The server tells every desktop of each row written, and its own triggers keep the day sums;
// neither is wanted while the books arrive whole, so the triggers are off for the move where
// the role owns the tables (others may only write with them on). They are on again before the
// move is committed; a move that fails leaves them as they were.
Result<QStringList> triggersOff(const QList<TableShape>& tables, const Connection& server)
{
    QStringList off;
    for (const TableShape& t : tables) {
        Transaction attempt(server);
        if (!attempt.status())
            return attempt.status().error();
        if (server.execute(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(t.name)))
            if (attempt.commit())
                off.append(t.name);
    }
    return off;
}

Status triggersOn(const QStringList& tables, const Connection& server)
{
    for (const QString& t : tables)
        if (Result<int> on = server.execute(QStringLiteral("ALTER TABLE %1 ENABLE TRIGGER USER").arg(t));
            !on)
            return on.error();
    return {};
}

// Copies every table, checks what arrived, and leaves it all to the caller's unit of work.
MoveOutcome copyAndCheck(const QList<TableShape>& tables, const Connection& from,
                         const Connection& into)
{
    QStringList off;
    if (into.isServer()) {
        Result<QStringList> turnedOff = triggersOff(tables, into);
        if (!turnedOff)
            return turnedOff.error();
        off = turnedOff.value();
    }
    for (const TableShape& t : tables) {
        // Where the triggers ran, the rows they made from the tables copied before give way to
        // the table's own rows, so that both books hold the same.
        if (t.keptByTriggers)
            if (Result<int> cleared = into.execute(QStringLiteral("DELETE FROM %1").arg(t.name));
                !cleared)
                return cleared.error();
        if (Status copied = copyRows(t, from, into); !copied)
            return Error{QStringLiteral("The records of %1 could not be moved: %2")
                             .arg(t.name, copied.error().description),
                         copied.error().code};
    }
    if (into.isServer()) {
        if (Status counters = continueCounters(tables, into); !counters)
            return counters.error();
        if (Status on = triggersOn(off, into); !on)
            return on.error();
    }
    return check(tables, from, into);
}

} // namespace

MoveOutcome moveBooksToServer(const Connection& file, const Connection& server)
{
    if (!server.mayWrite())
        return MoveRefusal{MoveRefusal::Kind::MayOnlyRead, placeOf(server), {}, {}, {}, {}};
    Result<QList<TableShape>> tables = tablesOf(file);
    if (!tables)
        return tables.error();
    // The file is read in one unit of work, which sees it as it stood when the move began, and
    // which writes nothing.
    Transaction reading(file);
    if (!reading.status())
        return reading.status().error();
    Transaction writing(server);
    if (!writing.status())
        return writing.status().error();
    if (auto ready = refuseUnready(tables.value(), server, true); !ready)
        return ready.refused() ? MoveOutcome(ready.refusal()) : MoveOutcome(ready.error());
    MoveOutcome moved = copyAndCheck(tables.value(), file, server);
    if (!moved)
        return moved; // the server's books roll back to empty
    if (Status committed = writing.commit(); !committed)
        return committed.error();
    return moved;
}

namespace {

void removeNewFile(const QString& path)
{
    releaseDatabase(path);
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

MoveOutcome fillNewFile(const Connection& server, const QString& path, const QString& password)
{
    Result<Connection> opened = Connection::openFile(path, password);
    if (!opened)
        return opened.error();
    const Connection& file = opened.value();
    Result<QList<TableShape>> tables = tablesOf(file);
    if (!tables)
        return tables.error();
    // The shared books are read as they stood when the move began, whatever other desktops
    // commit meanwhile, and nothing is written to them. (The server sets the isolation of a
    // transaction only where it begins, never in a savepoint, so this one is begun here.)
    // A session already in a unit of work of its own reads within it, which is left to its owner.
    const bool ownSnapshot = !server.isInTransaction();
    if (ownSnapshot)
        if (Status snapshot = server.executeScript(
                QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY"));
            !snapshot)
            return snapshot.error();
    struct EndReading {
        const Connection& server;
        bool own;
        ~EndReading()
        {
            if (own)
                (void)server.executeScript(QStringLiteral("ROLLBACK"));
        }
    } endReading{server, ownSnapshot};
    if (auto ready = refuseUnready(tables.value(), server, false); !ready)
        return ready.refused() ? MoveOutcome(ready.refusal()) : MoveOutcome(ready.error());
    Transaction writing(file);
    if (!writing.status())
        return writing.status().error();
    MoveOutcome moved = copyAndCheck(tables.value(), server, file);
    if (!moved)
        return moved;
    if (Status committed = writing.commit(); !committed)
        return committed.error();
    return moved;
}

} // namespace

MoveOutcome moveBooksToFile(const Connection& server, const QString& path,
                            const QString& password)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(absolute))
        return MoveRefusal{MoveRefusal::Kind::FileExists, absolute, {}, {}, {}, {}};
    if (Status made = createDatabase(absolute, password); !made)
        return made.error();
    MoveOutcome moved = fillNewFile(server, absolute, password);
    if (!moved)
        removeNewFile(absolute);
    else
        releaseDatabase(absolute); // the new file is whole on its own
    return moved;
}

} // namespace halvo
