// The engine of shared books: statements go to a PostgreSQL server through libpq, one session per
// opening. The server tells every session of a change another one committed (LISTEN/NOTIFY); the
// books' version moves with each, as a file's does when another program commits.

#include "postgres_engine.h"

#include "dates.h"
#include "money.h"
#include "postgres_dialect.h"
#include "connection.h"
#include "schema.h"
#include "write_notices.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QThread>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <vector>

namespace halvo::detail {

namespace {

// The result codes callers already tell apart, given for the server's kinds of failure.
constexpr int ConstraintFailed = SQLITE_CONSTRAINT;
constexpr int NotAllowed = SQLITE_READONLY;
constexpr int Failed = SQLITE_ERROR;

// Type numbers of the server's built-in types, as results name them.
enum : Oid { BoolType = 16, ByteaType = 17, Int8Type = 20, Int2Type = 21, Int4Type = 23,
             Float4Type = 700, Float8Type = 701, NumericType = 1700 };

struct ResultFree {
    void operator()(PGresult* r) const { PQclear(r); }
};
using ServerResult = std::unique_ptr<PGresult, ResultFree>;

// A name written between double quotes ("NickName") keeps its letter case on the server, which
// holds every name of the books folded to lower case: it is folded too. Texts between single
// quotes are left as they are.
QString foldedNames(const QString& sql)
{
    QString folded = sql;
    QChar quote;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else if (quote == QLatin1Char('"'))
                folded[i] = c.toLower();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        }
    }
    return folded;
}

Error serverError(PGconn* conn, const PGresult* result)
{
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    // libpq breaks its longer messages over lines with a tab: a message box shows one sentence.
    const QString message = QString::fromUtf8(primary ? primary : PQerrorMessage(conn)).simplified();
    const QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE))
                                    : QByteArray();
    const int code = state.startsWith("23") ? ConstraintFailed
                     : state == "42501"     ? NotAllowed
                                            : Failed;
    return Error{message, code};
}

ColumnKind kindOfTypeName(const QByteArray& name)
{
    if (name == "currency")
        return ColumnKind::Money;
    if (name == "halvo_date")
        return ColumnKind::Date;
    if (name == "halvo_time")
        return ColumnKind::Time;
    if (name == "int8" || name == "int4" || name == "int2")
        return ColumnKind::Integer;
    if (name == "number" || name == "float8" || name == "float4" || name == "numeric")
        return ColumnKind::Real;
    return ColumnKind::Text;
}

// A field as the server wrote it, in the form its type has in the rest of the program.
QVariant native(const PGresult* result, int row, int column)
{
    const char* text = PQgetvalue(result, row, column);
    const int length = PQgetlength(result, row, column);
    switch (PQftype(result, column)) {
    case Int8Type:
    case Int4Type:
    case Int2Type: return QVariant::fromValue<qlonglong>(QByteArray(text, length).toLongLong());
    case BoolType: return QVariant::fromValue<qlonglong>(text[0] == 't' ? 1 : 0);
    case Float4Type:
    case Float8Type: return QByteArray(text, length).toDouble();
    case NumericType: {
        const QByteArray number(text, length);
        bool whole = false;
        const qlonglong n = number.toLongLong(&whole);
        return whole ? QVariant::fromValue(n) : QVariant(number.toDouble());
    }
    case ByteaType: {
        size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
        QByteArray data(reinterpret_cast<const char*>(bytes), qsizetype(size));
        PQfreemem(bytes);
        return data;
    }
    default: return QString::fromUtf8(text, length);
    }
}

// Values as the server takes them: text in the forms the file stores, bytes as bytes.
struct BoundValues {
    std::vector<QByteArray> data;
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    std::vector<Oid> types;
};

BoundValues bound(const QVariantList& params)
{
    BoundValues b;
    const size_t n = size_t(params.size());
    b.data.resize(n);
    b.values.assign(n, nullptr);
    b.lengths.assign(n, 0);
    b.formats.assign(n, 0);
    b.types.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
        const QVariant& value = params[qsizetype(i)];
        const int type = value.metaType().id();
        bool isNull = !value.isValid() || value.isNull();
        QByteArray& text = b.data[i];
        if (isNull) {
        } else if (value.metaType() == QMetaType::fromType<Money>()) {
            text = QByteArray::number(qlonglong(value.value<Money>().units()));
        } else if (type == QMetaType::QDate) {
            text = Dates::toStored(value.toDate()).toUtf8();
            isNull = text.isEmpty();
        } else if (type == QMetaType::QTime) {
            text = Dates::timeToStored(value.toTime()).toUtf8();
            isNull = text.isEmpty();
        } else if (type == QMetaType::Bool || type == QMetaType::Int || type == QMetaType::UInt
                   || type == QMetaType::LongLong || type == QMetaType::Long
                   || type == QMetaType::Short) {
            text = QByteArray::number(value.toLongLong());
        } else if (type == QMetaType::Double || type == QMetaType::Float) {
            text = QByteArray::number(value.toDouble(), 'g', 17);
        } else if (type == QMetaType::QByteArray) {
            text = value.toByteArray();
            b.formats[i] = 1;
            b.types[i] = ByteaType;
        } else {
            text = value.toString().toUtf8(); // empty text stays empty text, never NULL
        }
        if (!isNull) {
            b.values[i] = text.isNull() ? "" : text.constData();
            b.lengths[i] = int(text.size());
        }
    }
    return b;
}

class ServerEngine;

class ServerCursor : public Cursor {
public:
    ServerCursor(ServerResult result, const ServerEngine& engine)
        : result(std::move(result)), engine(engine)
    {
    }
    Result<bool> step() override { return ++row < PQntuples(result.get()); }
    int columnCount() const override { return PQnfields(result.get()); }
    QString columnName(int i) const override;
    ColumnKind columnKind(int i) const override;
    QVariant value(int i, ColumnKind kind) const override;

private:
    ServerResult result;
    const ServerEngine& engine;
    int row = -1;
};

class ServerEngine : public Engine {
public:
    explicit ServerEngine(PGconn* conn) : conn(conn), ownSession(PQbackendPID(conn)) {}
    ~ServerEngine() override
    {
        listener.reset();
        PQfinish(conn);
    }

    Result<std::unique_ptr<Cursor>> query(const QString& sql, const QVariantList& params) override
    {
        Result<ServerResult> done = send(sql, params);
        if (!done)
            return done.error();
        return std::unique_ptr<Cursor>(
            std::make_unique<ServerCursor>(std::move(done.value()), *this));
    }

    Result<int> execute(const QString& sql, const QVariantList& params) override
    {
        Result<ServerResult> done = send(sql, params);
        if (!done)
            return done.error();
        const int changed = QByteArray(PQcmdTuples(done.value().get())).toInt();
        changes += changed;
        return changed;
    }

    Status executeScript(const QString& sql) override
    {
        ServerResult result(PQexec(conn, postgresStatement(sql).toUtf8().constData()));
        return checked(result.get());
    }

    Result<qint64> lastInsertedKey() override
    {
        Result<QVariant> key = first(QStringLiteral("SELECT lastval()"));
        if (!key)
            return key.error();
        return key.value().toLongLong();
    }

    // The server has no nested BEGIN: the outermost unit begins the transaction, the others are
    // savepoints in it.
    Status begin(const QString& savepoint) override
    {
        const QString sql = depth == 0 ? QStringLiteral("BEGIN; SAVEPOINT ") + savepoint
                                       : QStringLiteral("SAVEPOINT ") + savepoint;
        if (Status s = executeScript(sql); !s)
            return s;
        ++depth;
        return {};
    }
    Status release(const QString& savepoint) override
    {
        const QString sql = QStringLiteral("RELEASE SAVEPOINT ") + savepoint
                            + (depth == 1 ? QStringLiteral("; COMMIT") : QString());
        Status s = executeScript(sql);
        if (!s && depth == 1)
            (void)executeScript(QStringLiteral("ROLLBACK"));
        --depth;
        return s;
    }
    Status rollBack(const QString& savepoint) override
    {
        const QString sql = depth == 1 ? QStringLiteral("ROLLBACK")
                                       : QStringLiteral("ROLLBACK TO SAVEPOINT %1; RELEASE "
                                                        "SAVEPOINT %1")
                                             .arg(savepoint);
        --depth;
        return executeScript(sql);
    }
    bool isInTransaction() const override { return PQtransactionStatus(conn) != PQTRANS_IDLE; }

    qint64 changesMade() const override { return changes; }
    Result<qint64> dataVersion() override
    {
        takeNotices();
        return version;
    }
    Status checkInPlace() const override { return {}; }
    bool mayWrite() const override { return writable; }
    QString rowKey() const override { return QStringLiteral("ID"); }

    Result<QString> tableNamed(const QString& name) override
    {
        Result<QVariant> found = first(
            QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = current_schema() "
                           "AND tablename = lower(?)"),
            {name});
        if (!found)
            return found.error();
        if (found.value().isNull())
            return QString();
        return spelledNames().value(found.value().toString(), found.value().toString());
    }

    QString location() const override
    {
        return QStringLiteral("%1 on %2")
            .arg(QString::fromUtf8(PQdb(conn)), QString::fromUtf8(PQhost(conn)));
    }

    // Whatever the server has told of others' commits: the version moves, and each change is
    // told to whoever shows the books.
    void takeNotices()
    {
        if (!PQconsumeInput(conn))
            return;
        while (PGnotify* notice = PQnotifies(conn)) {
            if (notice->be_pid != ownSession) {
                ++version;
                tell(QString::fromUtf8(notice->extra));
            }
            PQfreemem(notice);
        }
    }

    Status setUp();
    Status listen();
    ColumnKind kindOf(Oid table, int column) const;

private:
    Result<ServerResult> send(const QString& sql, const QVariantList& params)
    {
        // A session the server or the network dropped is opened again between units of work,
        // and listens again; one dropped inside a unit of work fails it, and nothing of it stays.
        if (PQstatus(conn) == CONNECTION_BAD && depth == 0) {
            PQreset(conn);
            if (PQstatus(conn) == CONNECTION_OK)
                (void)listen();
        }
        const QByteArray text = translated(sql);
        const BoundValues b = bound(params);
        ServerResult result(PQexecParams(conn, text.constData(), int(params.size()),
                                         b.types.data(), b.values.data(), b.lengths.data(),
                                         b.formats.data(), 0));
        if (Status s = checked(result.get()); !s)
            return s.error();
        return std::move(result);
    }

    Status checked(const PGresult* result) const
    {
        const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
            return {};
        return serverError(conn, result);
    }

    Result<QVariant> first(const QString& sql, const QVariantList& params = {})
    {
        Result<std::unique_ptr<Cursor>> c = query(sql, params);
        if (!c)
            return c.error();
        Result<bool> row = c.value()->step();
        if (!row)
            return row.error();
        return row.value() ? c.value()->value(0) : QVariant();
    }

    QByteArray translated(const QString& sql)
    {
        auto found = statements.constFind(sql);
        if (found != statements.cend())
            return *found;
        const QByteArray text = postgresStatement(foldedNames(sql)).toUtf8();
        if (statements.size() > 2000)
            statements.clear();
        statements.insert(sql, text);
        return text;
    }

    void tell(const QString& payload)
    {
        // "<table> <INSERT|UPDATE|DELETE> <id> <role>"
        const QStringList parts = payload.split(QLatin1Char(' '));
        if (parts.size() < 4)
            return;
        ChangeElsewhere change;
        change.books = location();
        change.table = spelledNames().value(parts[0], parts[0]);
        change.kind = parts[1] == QLatin1String("INSERT")   ? CommittedWrite::Kind::Insert
                      : parts[1] == QLatin1String("DELETE") ? CommittedWrite::Kind::Delete
                                                            : CommittedWrite::Kind::Update;
        change.id = parts[2].toLongLong();
        change.who = parts.mid(3).join(QLatin1Char(' '));
        emit WriteNotices::instance().changedElsewhere(change);
    }

    Status readKinds() const;

    PGconn* conn;
    int ownSession;
    int depth = 0;
    qint64 changes = 0;
    qint64 version = 0;
    bool writable = false;
    QHash<QString, QByteArray> statements; // translated once each
    mutable QHash<qint64, ColumnKind> kinds; // by table << 16 | column
    mutable bool kindsRead = false;
    std::unique_ptr<QSocketNotifier> listener;
};

QString ServerCursor::columnName(int i) const
{
    const QString name = QString::fromUtf8(PQfname(result.get(), i));
    return spelledNames().value(name, name);
}

ColumnKind ServerCursor::columnKind(int i) const
{
    const Oid table = PQftable(result.get(), i);
    return table == InvalidOid ? ColumnKind::Text : engine.kindOf(table, PQftablecol(result.get(), i));
}

QVariant ServerCursor::value(int i, ColumnKind kind) const
{
    if (row < 0 || row >= PQntuples(result.get()) || PQgetisnull(result.get(), row, i))
        return QVariant();
    const QVariant stored = native(result.get(), row, i);
    switch (kind) {
    case ColumnKind::Money:
        if (stored.metaType().id() == QMetaType::LongLong)
            return QVariant::fromValue(Money::fromUnits(stored.toLongLong()));
        break;
    case ColumnKind::Date:
        if (const QDate date = Dates::fromStored(stored.toString()); date.isValid())
            return date;
        break;
    case ColumnKind::Time:
        if (const QTime time = Dates::timeFromStored(stored.toString()); time.isValid())
            return time;
        break;
    default: break;
    }
    return stored;
}

Status ServerEngine::readKinds() const
{
    ServerResult result(PQexec(
        conn, "SELECT a.attrelid::bigint, a.attnum, t.typname FROM pg_attribute a "
              "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_type t ON t.oid = a.atttypid "
              "WHERE c.relnamespace = current_schema()::regnamespace AND c.relkind = 'r' "
              "AND a.attnum > 0 AND NOT a.attisdropped"));
    if (Status s = checked(result.get()); !s)
        return s;
    kinds.clear();
    for (int r = 0; r < PQntuples(result.get()); ++r)
        kinds.insert(QByteArray(PQgetvalue(result.get(), r, 0)).toLongLong() << 16
                         | QByteArray(PQgetvalue(result.get(), r, 1)).toLongLong(),
                     kindOfTypeName(PQgetvalue(result.get(), r, 2)));
    kindsRead = true;
    return {};
}

ColumnKind ServerEngine::kindOf(Oid table, int column) const
{
    const qint64 key = qint64(table) << 16 | column;
    if (!kindsRead || !kinds.contains(key))
        (void)readKinds(); // a table made since they were read
    return kinds.value(key, ColumnKind::Text);
}

Error newerBooks(const QString& where)
{
    return Error{QStringLiteral("The shared books %1 were written by a newer version of HALVO, "
                                "which keeps its records in a way this one does not know. They "
                                "are left as they are: open them with that version.")
                     .arg(where),
                 SchemaNewerThanProgram};
}

// The books on the server take the program's schema steps as a file does, together or not at
// all; the server keeps the number of the last one in a table of its own. Two desktops opening new
// books at once take them one after the other.
Status ServerEngine::setUp()
{
    const QString where = location();
    Result<QVariant> taken = first(QStringLiteral(
        "SELECT CASE WHEN to_regclass('halvo_schema_step') IS NULL THEN 0 ELSE -1 END"));
    if (!taken)
        return taken.error();
    auto stepNow = [this]() -> Result<int> {
        Result<QVariant> step = first(QStringLiteral("SELECT max(step) FROM halvo_schema_step"));
        if (!step)
            return step.error();
        return step.value().toInt();
    };
    int step = 0;
    if (taken.value().toInt() != 0) {
        Result<int> now = stepNow();
        if (!now)
            return now.error();
        step = now.value();
    }
    if (step > schemaStepsKnown())
        return newerBooks(where);
    if (step < schemaStepsKnown()) {
        QString script = QStringLiteral(
            "BEGIN; SELECT pg_advisory_xact_lock(4716); ");
        if (Status begun = executeScript(script); !begun)
            return begun;
        Status done = [&]() -> Status {
            if (step == 0) {
                Result<QVariant> made = first(QStringLiteral(
                    "SELECT to_regclass('halvo_schema_step') IS NOT NULL"));
                if (!made)
                    return made.error();
                if (made.value().toLongLong() == 0) {
                    if (Status s = executeScript(postgresPrologue()
                                                 + QStringLiteral(";\nCREATE TABLE halvo_schema_step "
                                                                  "(step INTEGER NOT NULL);\n"
                                                                  "INSERT INTO halvo_schema_step "
                                                                  "VALUES (0)"));
                        !s)
                        return s;
                }
            }
            Result<int> now = stepNow();
            if (!now)
                return now.error();
            for (const SchemaStep& s : schemaSteps()) {
                if (s.number <= now.value())
                    continue;
                const QString sql = s.postgres.isEmpty() ? postgresSchema(s.sql) : s.postgres;
                if (Status ran = executeScript(sql); !ran)
                    return Error{QStringLiteral("The shared books %1 could not be brought up to "
                                                "date, and nothing in them was changed. Step %2 "
                                                "(%3) failed: %4")
                                     .arg(where)
                                     .arg(s.number)
                                     .arg(QString::fromUtf8(s.what), ran.error().description),
                                 ran.error().code};
            }
            if (Status s = executeScript(postgresEpilogue()); !s)
                return s;
            return execute(QStringLiteral("UPDATE halvo_schema_step SET step = ?"),
                           {schemaStepsKnown()})
                .ok()
                ? Status()
                : Status(Error{QStringLiteral("The shared books %1 could not be brought up to date.")
                                   .arg(where)});
        }();
        if (!done) {
            (void)executeScript(QStringLiteral("ROLLBACK"));
            if (done.error().code == NotAllowed)
                return Error{QStringLiteral("The shared books %1 need to be brought up to date "
                                            "by someone whose role may change them; yours may "
                                            "only read them.")
                                 .arg(where),
                             NotAllowed};
            return done;
        }
        if (Status committed = executeScript(QStringLiteral("COMMIT")); !committed)
            return committed;
    }
    Result<QVariant> mayInsert = first(
        QStringLiteral("SELECT has_table_privilege('tblfinance', 'INSERT')"));
    if (!mayInsert)
        return mayInsert.error();
    writable = mayInsert.value().toString() == QLatin1String("true")
               || mayInsert.value().toLongLong() == 1;
    return listen();
}

// Asks the server to tell this session of others' commits. They are told as they come where an
// event loop runs (the program's windows); anywhere else, read when the version is asked for.
Status ServerEngine::listen()
{
    listener.reset();
    ownSession = PQbackendPID(conn);
    if (Status listening = executeScript(QStringLiteral("LISTEN halvo_books")); !listening)
        return listening;
    if (QCoreApplication::instance()
        && QThread::currentThread() == QCoreApplication::instance()->thread()) {
        listener = std::make_unique<QSocketNotifier>(PQsocket(conn), QSocketNotifier::Read);
        QObject::connect(listener.get(), &QSocketNotifier::activated, listener.get(),
                         [this] { takeNotices(); });
    }
    return {};
}

QString libpqValue(const QString& value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''),
                                                                      QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace

const QHash<QString, QString>& spelledNames()
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> spelled;
        sqlite3* db = nullptr;
        if (sqlite3_open(":memory:", &db) == SQLITE_OK
            && sqlite3_exec(db, schemaScript().toUtf8().constData(), nullptr, nullptr, nullptr)
                   == SQLITE_OK) {
            sqlite3_stmt* tables = nullptr;
            sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table'", -1,
                               &tables, nullptr);
            while (tables && sqlite3_step(tables) == SQLITE_ROW) {
                const QString table =
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(tables, 0)));
                spelled.insert(table.toLower(), table);
                sqlite3_stmt* columns = nullptr;
                const QByteArray info = "PRAGMA table_info(" + table.toUtf8() + ")";
                sqlite3_prepare_v2(db, info.constData(), -1, &columns, nullptr);
                while (columns && sqlite3_step(columns) == SQLITE_ROW) {
                    const QString column = QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(columns, 1)));
                    spelled.insert(column.toLower(), column);
                }
                sqlite3_finalize(columns);
            }
            sqlite3_finalize(tables);
        }
        sqlite3_close(db);
        return spelled;
    }();
    return names;
}

Result<std::shared_ptr<Engine>> openServerEngine(const QString& conninfo, const QString& password)
{
    QString text = conninfo;
    if (!password.isEmpty())
        text += QStringLiteral(" password=") + libpqValue(password);
    // The books' text is compared as the program compares it, whatever the server's own setting.
    text += QStringLiteral(" application_name=HALVO client_encoding=UTF8");
    PGconn* conn = PQconnectdb(text.toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        const bool needsPassword = PQconnectionNeedsPassword(conn) && password.isEmpty();
        Error e{needsPassword
                    ? QStringLiteral("The server asks for your password.")
                    : QStringLiteral("The shared books could not be opened: %1")
                          .arg(QString::fromUtf8(PQerrorMessage(conn)).simplified()),
                needsPassword ? ServerWantsPassword : Failed};
        PQfinish(conn);
        return e;
    }
    auto engine = std::make_shared<ServerEngine>(conn);
    if (Status ready = engine->setUp(); !ready)
        return ready.error();
    return std::shared_ptr<Engine>(engine);
}

} // namespace halvo::detail
