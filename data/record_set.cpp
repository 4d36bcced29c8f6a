#include "record_set_impl.h"

#include "dates.h"
#include "money.h"
#include "sqlite_statement.h"
#include "write_notices.h"

#include <QBitArray>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace halvo {


namespace {

using detail::noCurrentRecord;
using detail::notUpdatable;
using detail::quoted;

// A source the set can update: a table's name, or "SELECT * FROM table" followed by nothing but
// a WHERE and an ORDER BY.
struct UpdatableSource {
    QString table;
    QString where;   // the condition, as written; empty for every row
    QString orderBy; // the ordering, as written; empty for the table's own
};

// Splits " WHERE ... ORDER BY ..." into its condition and its ordering. An ordering by the
// table's key is the table's own order, in which a large set reads its keys page by page.
bool splitTail(const QString& tail, UpdatableSource& into)
{
    static const QRegularExpression parts(
        QStringLiteral(R"(^\s*(?:WHERE\s+(.*?))?\s*(?:ORDER\s+BY\s+(.*?))?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tableOrder(QStringLiteral(R"(^(rowid|ID)(\s+ASC)?$)"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = parts.match(tail);
    if (!m.hasMatch())
        return false;
    into.where = m.captured(1).trimmed();
    into.orderBy = m.captured(2).trimmed();
    if (tableOrder.match(into.orderBy).hasMatch())
        into.orderBy.clear();
    return true;
}

std::optional<UpdatableSource> updatableSource(const Connection& conn, const QString& source)
{
    static const QRegularExpression tableName(QStringLiteral(R"(^\s*(\w+)\s*$)"));
    static const QRegularExpression selectAll(
        QStringLiteral(R"(^\s*SELECT\s+\*\s+FROM\s+(\w+)((?:\s+(?:WHERE|ORDER\s+BY)\b.*)?)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression notPlain(
        QStringLiteral(R"(\b(JOIN|GROUP\s+BY|UNION|LIMIT|HAVING)\b|;)"),
        QRegularExpression::CaseInsensitiveOption);

    // Without an ordering of its own the set keeps the table's order, the order the rows were
    // entered in, rather than that of whichever index the engine answers the WHERE with.
    UpdatableSource result;
    if (QRegularExpressionMatch m = tableName.match(source); m.hasMatch()) {
        result.table = m.captured(1);
    } else if (QRegularExpressionMatch m = selectAll.match(source);
               m.hasMatch() && !notPlain.match(m.captured(2)).hasMatch()
               && splitTail(m.captured(2), result)) {
        result.table = m.captured(1);
    } else {
        return std::nullopt;
    }
    Result<QString> found = conn.tableNamed(result.table);
    if (!found || found.value().isNull())
        return std::nullopt;
    result.table = found.value();
    return result;
}


bool isEmptyText(const QVariant& v)
{
    return v.metaType().id() == QMetaType::QString && v.toString().isEmpty();
}

Result<QVariant> wrongValue(const QVariant& value, const QString& what)
{
    return Error{QStringLiteral("\"%1\" is not %2.").arg(value.toString(), what)};
}

Result<QVariant> typedMoney(const QVariant& value)
{
    Result<Money> m = Money::parse(value.toString());
    if (!m)
        return m.error();
    return QVariant::fromValue(m.value());
}

// A number given for a money field is an amount, as a user would type it: 5 is $5.00, not the
// five ten-thousandths the database would store for it. Money stays as it is.
Result<QVariant> givenMoney(const QVariant& value)
{
    bool ok = value.metaType() == QMetaType::fromType<Money>();
    const QVariant amount = ok ? value : QVariant(value.toDouble(&ok));
    if (!ok)
        return wrongValue(value, QStringLiteral("an amount of money"));
    Result<Money> m = moneyFromStored(amount);
    if (!m)
        return m.error();
    return QVariant::fromValue(m.value());
}

// A number as a number column keeps it: whole numbers as 64 bits, others as a finite double.
// Anything else (money, a date, bytes) is no number, and neither is infinity or NaN, which the
// database could not keep.
Result<QVariant> givenNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: return QVariant(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        bool fits = false;
        const qlonglong n = value.toLongLong(&fits);
        return fits && n >= 0 ? QVariant(n) : QVariant(value.toDouble());
    }
    case QMetaType::Float:
    case QMetaType::Double:
        if (std::isfinite(value.toDouble()))
            return QVariant(value.toDouble());
        break;
    default: break;
    }
    return wrongValue(value, QStringLiteral("a number"));
}

// Makes a value fit its column, or says why it does not.
Result<QVariant> coerce(const QVariant& value, ColumnKind kind)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    if (kind == ColumnKind::Text)
        return QVariant(value.toString());
    if (isEmptyText(value))
        return QVariant();
    const int type = value.metaType().id();
    const bool isText = type == QMetaType::QString;
    switch (kind) {
    case ColumnKind::Money: return isText ? typedMoney(value) : givenMoney(value);
    case ColumnKind::Date: {
        if (type == QMetaType::QDate || type == QMetaType::QDateTime) {
            const QDate d = value.toDate();
            if (!d.isValid())
                return QVariant();
            if (!Dates::isStorable(d))
                return Error{QStringLiteral("The year %1 is not one a date can hold (1 to 9999).")
                                 .arg(d.year())};
            return QVariant(d);
        }
        const QString text = value.toString().trimmed();
        for (const QString& form : {Dates::StoredDate, Dates::ShortDate, Dates::PaddedDate}) {
            const QDate d = QDate::fromString(text, form);
            if (Dates::isStorable(d))
                return QVariant(d);
        }
        return wrongValue(value, QStringLiteral("a date"));
    }
    case ColumnKind::Time: {
        if (type == QMetaType::QTime) {
            // The stored form keeps the second; the field holds what it will read back.
            const QTime t = value.toTime();
            return t.isValid() ? QVariant(QTime(t.hour(), t.minute(), t.second())) : QVariant();
        }
        const QString text = value.toString().trimmed();
        for (const QString& form : {Dates::StoredTime, QStringLiteral("h:mm:ss AP")}) {
            const QTime t = QLocale::c().toTime(text, form);
            if (t.isValid())
                return QVariant(t);
        }
        return wrongValue(value, QStringLiteral("a time of day"));
    }
    case ColumnKind::Integer: {
        bool ok = false;
        const qlonglong n = isText ? value.toString().trimmed().toLongLong(&ok)
                                   : value.toLongLong(&ok);
        return ok ? Result<QVariant>(QVariant(n)) : wrongValue(value, QStringLiteral("a number"));
    }
    case ColumnKind::Real: {
        if (!isText)
            return givenNumber(value);
        const QString text = value.toString().trimmed();
        bool ok = false;
        if (const qlonglong n = text.toLongLong(&ok); ok)
            return QVariant(n);
        const double d = QLocale::c().toDouble(text, &ok);
        return ok && std::isfinite(d) ? Result<QVariant>(QVariant(d))
                                      : wrongValue(value, QStringLiteral("a number"));
    }
    case ColumnKind::Text: break;
    }
    return value;
}

} // namespace


QString detail::quoted(const QString& identifier)
{
    return QLatin1Char('"') + QString(identifier).replace(QLatin1Char('"'), QLatin1String("\"\""))
           + QLatin1Char('"');
}

RecordSet::RecordSet(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}

RecordSet::~RecordSet() = default;

bool RecordSet::isOpen() const { return d->conn.has_value(); }
bool RecordSet::isUpdatable() const { return d->updatable; }
const Connection* RecordSet::connection() const { return d->conn ? &*d->conn : nullptr; }

int RecordSet::columnIndex(const QString& name) const { return RowSource::columnIndex(name); }

Status RecordSet::open(const Connection& connection, const QString& source,
                       const QVariantList& params)
{
    if (isOpen())
        if (Status s = close(); !s)
            return s;
    auto fresh = std::make_unique<Impl>();
    fresh->conn = connection;
    fresh->params = params;
    QString rowsSql = source;
    if (std::optional<UpdatableSource> u = updatableSource(connection, source)) {
        fresh->updatable = true;
        fresh->table = quoted(u->table);
        fresh->tableName = u->table;
        fresh->where = u->where;
        fresh->orderBy = u->orderBy;
        rowsSql = QStringLiteral("SELECT * FROM %1 LIMIT 0").arg(fresh->table);
    }
    Result<std::unique_ptr<detail::Cursor>> cursor =
        connection.engine().query(rowsSql, fresh->updatable ? QVariantList() : params);
    if (!cursor)
        return cursor.error();
    QList<Column> cols;
    for (int i = 0; i < cursor.value()->columnCount(); ++i)
        cols.append({cursor.value()->columnName(i), cursor.value()->columnKind(i)});
    d = std::move(fresh);
    source_ = source;
    columns_ = cols;
    editMode_ = EditMode::None;
    if (Status s = requery(); !s) {
        d = std::make_unique<Impl>();
        return s;
    }
    return {};
}

Status RecordSet::close()
{
    if (!isOpen())
        return {};
    if (Status s = writePending(true); !s)
        return s;
    d = std::make_unique<Impl>();
    editMode_ = EditMode::None;
    emit recordsChanged();
    return {};
}

Status RecordSet::requery()
{
    if (!isOpen())
        return fail(Error{QStringLiteral("The set of records is not open.")});
    if (Status s = writePending(true); !s)
        return fail(s.error());
    if (d->updatable) {
        if (Status read = d->keys.read(*d->conn, d->table, d->where, d->orderBy, d->params); !read)
            return fail(read.error());
        d->cache.clear();
        noteRead();
    } else {
        Result<Rows> all = d->conn->select(source_, d->params);
        if (!all)
            return fail(all.error());
        d->rows = std::move(all.value().values);
    }
    d->current = -1;
    d->currentDeleted = false;
    emit recordsChanged();
    return moveToIndex(0);
}

void RecordSet::noteRead()
{
    d->changesSeen = d->conn->changesMade();
    d->versionSeen = d->conn->dataVersion().valueOr(-1);
}

// One row written by the set itself, with the `changes` it made (the row, and what the file's
// triggers changed with it): the keys it holds are still those of the file, unless something
// else was written before it.
void RecordSet::noteOwnWrite(qint64 changes)
{
    if (d->conn->changesMade() == d->changesSeen + changes)
        d->changesSeen = d->conn->changesMade();
}

Status RecordSet::refresh()
{
    if (!isOpen())
        return fail(Error{QStringLiteral("The set of records is not open.")});
    if (!d->updatable || d->conn->changesMade() != d->changesSeen
        || d->conn->dataVersion().valueOr(-2) != d->versionSeen)
        return requery();
    return writePending(true);
}

Status RecordSet::fail(const Error& e)
{
    emit error(e);
    return e;
}

Status RecordSet::moveFirst() { return moveToIndex(0); }

Status RecordSet::moveLast()
{
    // The last record is known only once the pending one is written or dropped.
    if (Status s = writePending(true); !s)
        return fail(s.error());
    return moveToIndex(d->count() - 1);
}

Status RecordSet::moveNext()
{
    if (d->current >= d->count() && !d->currentDeleted)
        return fail(Error{noCurrentRecord});
    // After a delete the record that followed the deleted one has taken its place.
    return moveToIndex(d->currentDeleted ? d->current : d->current + 1);
}

Status RecordSet::movePrevious()
{
    if (d->current < 0)
        return fail(Error{noCurrentRecord});
    return moveToIndex(d->current - 1);
}

Status RecordSet::moveTo(int position)
{
    if (position < 1 || position > d->count())
        return fail(Error{QStringLiteral("There is no record at position %1.").arg(position)});
    return moveToIndex(position - 1);
}

Result<int> RecordSet::firstPositionWhere(const QString& condition,
                                          const QVariantList& params) const
{
    if (!isOpen() || !d->updatable)
        return Error{QStringLiteral("This set of records cannot be searched.")};
    Result<long long> found = d->keys.firstWhere(condition, params);
    if (!found)
        return found.error();
    return int(found.value() + 1);
}

bool RecordSet::bof() const { return isOpen() && (d->current < 0 || d->count() == 0); }
bool RecordSet::eof() const { return isOpen() && (d->current >= d->count() || d->count() == 0); }
int RecordSet::recordCount() const { return int(d->count()); }
int RecordSet::absolutePosition() const { return d->hasCurrent() ? int(d->current + 1) : 0; }

// Makes the record at an index current; below 0 is BOF, past the last is EOF. The pending change
// of the record being left is written first.
Status RecordSet::moveToIndex(long long index)
{
    if (!isOpen())
        return fail(Error{QStringLiteral("The set of records is not open.")});
    if (Status s = writePending(true); !s)
        return fail(s.error());
    d->currentDeleted = false;
    d->current = std::clamp<long long>(index, -1, d->count());
    Status loaded = loadCurrent();
    emit moveComplete();
    return loaded ? loaded : fail(loaded.error());
}

Status RecordSet::loadCurrent()
{
    d->buffer.clear();
    d->edited = QBitArray(columns_.size());
    if (!d->hasCurrent() || (d->adding && d->current == d->storedCount())) {
        if (d->adding)
            d->buffer = QVariantList(columns_.size());
        return {};
    }
    Result<QVariantList> row = d->storedRow(d->current, int(columns_.size()));
    if (!row)
        return row.error();
    d->buffer = row.value();
    d->shown = d->buffer;
    return {};
}

QVariant RecordSet::value(int column) const
{
    if (!d->hasCurrent() || column < 0 || column >= d->buffer.size())
        return QVariant();
    return d->buffer[column];
}

QVariant RecordSet::value(const QString& name) const { return value(columnIndex(name)); }

Result<QVariant> RecordSet::field(const QString& name) const
{
    const int column = columnIndex(name);
    if (column < 0)
        return Error{QStringLiteral("There is no field named \"%1\".").arg(name)};
    if (!d->hasCurrent())
        return Error{noCurrentRecord};
    return value(column);
}

Status RecordSet::setValue(int column, const QVariant& value)
{
    if (column < 0 || column >= columns_.size())
        return Error{QStringLiteral("There is no such field.")};
    if (!d->updatable)
        return Error{notUpdatable};
    if (!d->hasCurrent())
        return Error{noCurrentRecord};
    Result<QVariant> fitted = coerce(value, columns_[column].kind);
    if (!fitted)
        return Error{QStringLiteral("%1 (field %2)")
                         .arg(fitted.error().description, columns_[column].name)};
    d->buffer[column] = fitted.value();
    d->edited.setBit(column);
    if (editMode_ == EditMode::None)
        editMode_ = EditMode::Editing;
    emit valueChanged(column);
    return {};
}

Status RecordSet::setValue(const QString& name, const QVariant& value)
{
    const int column = columnIndex(name);
    if (column < 0)
        return Error{QStringLiteral("There is no field named \"%1\".").arg(name)};
    return setValue(column, value);
}

QVariant RecordSet::valueAt(int row, int column) const
{
    if (row < 0 || row >= d->count() || column < 0 || column >= columns_.size())
        return QVariant();
    if (row == d->current && d->hasCurrent())
        return d->buffer.value(column);
    if (row >= d->storedCount())
        return QVariant();
    Result<QVariantList> values = d->storedRow(row, int(columns_.size()));
    return values ? values.value().value(column) : QVariant();
}

} // namespace halvo
