#include "key_list.h"


#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace halvo::detail {

namespace {

QVariant keyValue(qint64 key) { return QVariant::fromValue<qlonglong>(key); }

// Every key a statement gives, in its order.
Result<std::vector<qint64>> keysOf(const Connection& connection, const QString& sql,
                                   const QVariantList& params)
{
    std::vector<qint64> found;
    Status walked = connection.eachRow(sql, params, [&found](const QStringList&, QVariantList row) {
        found.push_back(row.value(0).toLongLong());
        return true;
    });
    if (!walked)
        return walked.error();
    return found;
}

// The condition the rows are counted by. "Amount <> 0" (the ledger's kinds) is counted as the
// two stretches of an index on the column it is, above and below 0: the same rows, whatever the
// column holds (NULL is in neither, a text is above every number), where "<>" has the engine
// read every entry of the index, or the whole table.
QString countCondition(const QString& condition)
{
    static const QRegularExpression notZero(QStringLiteral(R"(^\(\s*(\w+)\s*<>\s*0\s*\)$)"));
    const QRegularExpressionMatch m = notZero.match(condition);
    return m.hasMatch() ? QStringLiteral("(%1 > 0 OR %1 < 0)").arg(m.captured(1)) : condition;
}

} // namespace

QString KeyList::statement(const QString& what, const QString& extra) const
{
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3%4").arg(what, table, condition, extra);
}

Status KeyList::read(const Connection& connection, const QString& tableName,
                     const QString& where, const QString& orderBy, const QVariantList& values)
{
    conn = connection;
    table = tableName;
    key = connection.rowKey();
    condition = where.isEmpty() ? QStringLiteral("1 = 1") : QStringLiteral("(%1)").arg(where);
    ordering = orderBy.isEmpty() ? QStringLiteral(" ORDER BY ") + key
                                 : QStringLiteral(" ORDER BY ") + orderBy;
    params = values;
    partial = false;
    keys.clear();
    // A set in the table's order is counted first: one of some thousands of rows is read whole,
    // a larger one page by page. A set in an order of its own cannot be found again page by page
    // from the keys on either side of a page, and is read whole.
    if (orderBy.isEmpty()) {
        Result<QVariant> count = connection.scalar(
            QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(table, countCondition(condition)),
            params);
        if (!count)
            return count.error();
        if (count.value().toLongLong() > WholeLimit) {
            keys.assign(size_t(count.value().toLongLong()), Unknown);
            partial = true;
            // The last page read now bounds the set: a row entered later is after it.
            return readPage(size() - 1);
        }
    }
    Result<std::vector<qint64>> read =
        keysOf(connection, statement(key, ordering), params);
    if (!read)
        return read.error();
    keys = std::move(read.value());
    return {};
}

KeyList::Around KeyList::knownAround(long long from, long long to) const
{
    Around around{from - 1, 0, to, 0};
    for (; around.before >= 0 && keys[size_t(around.before)] <= Unknown; --around.before)
        around.unknownBefore += keys[size_t(around.before)] == Unknown;
    for (; around.after < size() && keys[size_t(around.after)] <= Unknown; ++around.after)
        around.unknownAfter += keys[size_t(around.after)] == Unknown;
    return around;
}

Result<qint64> KeyList::at(long long index) const
{
    if (keys[size_t(index)] == Unknown)
        if (Status s = readPage(index); !s)
            return s.error();
    return keys[size_t(index)];
}

// Reads the unknown keys around `index`, at most a page of them, from the nearest keys known on
// either side: forwards from the one before when fewer unknown keys lie between it and the page
// than between the page and the one after, backwards otherwise. Places the rows no longer there
// leave are Gone.
Status KeyList::readPage(long long index) const
{
    long long from = index;
    long long to = index + 1;
    while (from > 0 && keys[size_t(from - 1)] == Unknown && index - from < Page / 2)
        --from;
    while (to < size() && keys[size_t(to)] == Unknown && to - from < Page)
        ++to;
    const auto [before, unknownBefore, after, unknownAfter] = knownAround(from, to);

    QString bounds;
    QVariantList values = params;
    if (before >= 0) {
        bounds += QStringLiteral(" AND %1 > ?").arg(key);
        values.append(keyValue(keys[size_t(before)]));
    }
    if (after < size()) {
        bounds += QStringLiteral(" AND %1 < ?").arg(key);
        values.append(keyValue(keys[size_t(after)]));
    }
    const bool forwards = unknownBefore <= unknownAfter;
    values << (to - from) << (forwards ? unknownBefore : unknownAfter);
    Result<std::vector<qint64>> read = keysOf(
        *conn,
        statement(key, bounds
                           + (forwards ? QStringLiteral(" ORDER BY %1 LIMIT ? OFFSET ?")
                                       : QStringLiteral(" ORDER BY %1 DESC LIMIT ? OFFSET ?"))
                                 .arg(key)),
        values);
    if (!read)
        return read.error();
    const std::vector<qint64>& found = read.value();
    for (long long i = 0; i < to - from; ++i) {
        const long long place = forwards ? from + i : to - 1 - i;
        keys[size_t(place)] = i < static_cast<long long>(found.size()) ? found[size_t(i)] : Gone;
    }
    return {};
}

Result<long long> KeyList::firstWhere(const QString& extra, const QVariantList& extraParams) const
{
    if (!partial) {
        Result<std::vector<qint64>> meeting =
            keysOf(*conn, QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(key, table, extra),
                   extraParams);
        if (!meeting)
            return meeting.error();
        const QSet<qint64> wanted(meeting.value().begin(), meeting.value().end());
        // The set's order is its own (an ORDER BY, or the table's): the first of its keys that
        // meets the condition, not the smallest rowid.
        if (!wanted.isEmpty())
            for (long long i = 0; i < size(); ++i)
                if (wanted.contains(keys[size_t(i)]))
                    return i;
        return -1;
    }
    // In the table's order the first row that meets it is the smallest key among the set's.
    const auto last = std::find_if(keys.rbegin(), keys.rend(), [](qint64 k) { return k > Unknown; });
    Result<QVariant> first = conn->scalar(
        statement(key, QStringLiteral(" AND (%1) AND %2 <= ? ORDER BY %2 LIMIT 1").arg(extra, key)),
        QVariantList(params) << extraParams << keyValue(*last));
    if (!first)
        return first.error();
    if (first.value().isNull())
        return -1;
    const qint64 wanted = first.value().toLongLong();
    Result<QVariant> rowsBefore = conn->scalar(
        statement(QStringLiteral("count(*)"), QStringLiteral(" AND %1 < ?").arg(key)),
        QVariantList(params) << keyValue(wanted));
    if (!rowsBefore)
        return rowsBefore.error();
    const long long guess = std::min(rowsBefore.value().toLongLong(), size() - 1);
    // Where its place is not read yet and the keys read on either side allow it there, it is
    // taken at its place, and the pages beside it are read from it.
    if (keys[size_t(guess)] == Unknown) {
        const Around around = knownAround(guess, guess + 1);
        if ((around.before < 0 || keys[size_t(around.before)] < wanted)
            && (around.after >= size() || wanted < keys[size_t(around.after)])) {
            keys[size_t(guess)] = wanted;
            return guess;
        }
    }
    // Rows deleted or entered by others since the set opened may have moved it a little.
    const long long near = std::max(0LL, guess - Page);
    const long long far = std::min(size(), guess + Page);
    for (long long i = near; i < far; ++i) {
        Result<qint64> key = at(i);
        if (!key)
            return key.error();
        if (key.value() == wanted)
            return i;
    }
    return guess;
}

} // namespace halvo::detail
