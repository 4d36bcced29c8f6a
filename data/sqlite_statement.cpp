#include "sqlite_statement.h"

#include "dates.h"
#include "money.h"

namespace halvo::detail {

namespace {

// Where the engine's own words ("database or disk is full", "database is locked") leave a user
// guessing, the reason is said as the user can act on it.
QString reasonFor(int rc, const QString& engine)
{
    switch (rc & 0xff) {
    case SQLITE_FULL: return QStringLiteral("The disk is full.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The database file is in use by another program.");
    case SQLITE_IOERR:
        return QStringLiteral("The disk could not be read or written (%1).").arg(engine);
    case SQLITE_READONLY:
        return QStringLiteral("The database file cannot be written (%1).").arg(engine);
    default: return engine;
    }
}

} // namespace

Error engineError(sqlite3* db, int rc, const QString& doing)
{
    const QString what = reasonFor(rc, db ? QString::fromUtf8(sqlite3_errmsg(db))
                                          : QString::fromUtf8(sqlite3_errstr(rc)));
    return Error{doing.isEmpty() ? what : doing + QStringLiteral(": ") + what, rc};
}

ColumnKind kindOfDeclaredType(const char* declared)
{
    const QByteArray type = QByteArray(declared ? declared : "").toUpper();
    if (type.startsWith("CURRENCY"))
        return ColumnKind::Money;
    if (type.startsWith("DATE"))
        return ColumnKind::Date;
    if (type.startsWith("TIME"))
        return ColumnKind::Time;
    if (type.startsWith("INT"))
        return ColumnKind::Integer;
    if (type.startsWith("NUM") || type.startsWith("REAL") || type.startsWith("DOUBLE"))
        return ColumnKind::Real;
    return ColumnKind::Text;
}

Result<Statement> Statement::prepare(sqlite3* db, const QString& sql)
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return engineError(db, rc, QString());
    }
    if (!stmt)
        return Error{QStringLiteral("The statement is empty.")};
    return Statement(db, stmt);
}

Statement::Statement(Statement&& other) noexcept : db(other.db), stmt(other.stmt)
{
    other.stmt = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(stmt);
        db = other.db;
        stmt = other.stmt;
        other.stmt = nullptr;
    }
    return *this;
}

Statement::~Statement() { sqlite3_finalize(stmt); }

Status Statement::bind(const QVariantList& params)
{
    if (params.size() != sqlite3_bind_parameter_count(stmt))
        return Error{QStringLiteral("The statement takes %1 values, %2 were given.")
                         .arg(sqlite3_bind_parameter_count(stmt))
                         .arg(params.size())};
    for (int i = 0; i < params.size(); ++i)
        if (Status s = bind(i + 1, params[i]); !s)
            return s;
    return {};
}

Status Statement::bind(int index, const QVariant& value)
{
    int rc = SQLITE_OK;
    const QMetaType type = value.metaType();
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(stmt, index);
    } else if (type == QMetaType::fromType<Money>()) {
        rc = sqlite3_bind_int64(stmt, index, value.value<Money>().units());
    } else if (type.id() == QMetaType::QDate) {
        const QDate date = value.toDate();
        return date.isValid() ? bind(index, Dates::toStored(date)) : bind(index, QVariant());
    } else if (type.id() == QMetaType::QTime) {
        const QTime time = value.toTime();
        return time.isValid() ? bind(index, Dates::timeToStored(time)) : bind(index, QVariant());
    } else if (type.id() == QMetaType::Bool || type.id() == QMetaType::Int
               || type.id() == QMetaType::UInt || type.id() == QMetaType::LongLong
               || type.id() == QMetaType::Long || type.id() == QMetaType::Short) {
        rc = sqlite3_bind_int64(stmt, index, value.toLongLong());
    } else if (type.id() == QMetaType::Double || type.id() == QMetaType::Float) {
        rc = sqlite3_bind_double(stmt, index, value.toDouble());
    } else if (type.id() == QMetaType::QByteArray) {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob64(stmt, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
    } else {
        // Empty text stays empty text: never NULL.
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text64(stmt, index, text.isNull() ? "" : text.constData(), text.size(),
                                 SQLITE_TRANSIENT, SQLITE_UTF8);
    }
    if (rc != SQLITE_OK)
        return engineError(db, rc, QStringLiteral("A value could not be given to the statement"));
    return {};
}

Result<bool> Statement::step()
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    return engineError(db, rc, QString());
}

Status Statement::run()
{
    for (;;) {
        Result<bool> row = step();
        if (!row)
            return row.error();
        if (!row.value())
            return {};
    }
}

int Statement::columnCount() const { return sqlite3_column_count(stmt); }

QString Statement::columnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(stmt, i));
}

ColumnKind Statement::columnKind(int i) const
{
    return kindOfDeclaredType(sqlite3_column_decltype(stmt, i));
}

sqlite3_int64 Statement::integer(int i) const { return sqlite3_column_int64(stmt, i); }

bool Statement::isNull(int i) const { return sqlite3_column_type(stmt, i) == SQLITE_NULL; }

namespace {

QString text(sqlite3_stmt* stmt, int i)
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
    return QString::fromUtf8(data ? data : "", sqlite3_column_bytes(stmt, i));
}

QVariant native(sqlite3_stmt* stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_INTEGER: return QVariant::fromValue<qlonglong>(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT: return sqlite3_column_double(stmt, i);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt, i)),
                          sqlite3_column_bytes(stmt, i));
    case SQLITE_NULL: return QVariant();
    default: return text(stmt, i);
    }
}

} // namespace

// What a column holds, as its declared kind says; a value stored in another form than its kind
// expects is handed back as it is stored rather than lost.
QVariant Statement::value(int i, ColumnKind kind) const
{
    const int type = sqlite3_column_type(stmt, i);
    if (type == SQLITE_NULL)
        return QVariant();
    switch (kind) {
    case ColumnKind::Money:
        if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
            if (Result<Money> amount = moneyFromStored(native(stmt, i)))
                return QVariant::fromValue(amount.value());
        }
        break;
    case ColumnKind::Date:
        if (type == SQLITE_TEXT) {
            const QDate date = Dates::fromStored(text(stmt, i));
            if (date.isValid())
                return date;
        }
        break;
    case ColumnKind::Time:
        if (type == SQLITE_TEXT) {
            const QTime time = Dates::timeFromStored(text(stmt, i));
            if (time.isValid())
                return time;
        }
        break;
    case ColumnKind::Text:
        if (type == SQLITE_TEXT)
            return text(stmt, i);
        break;
    case ColumnKind::Integer:
    case ColumnKind::Real: break;
    }
    return native(stmt, i);
}

} // namespace halvo::detail
