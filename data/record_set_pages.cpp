#include "record_set_impl.h"

#include <algorithm>

namespace halvo {


Result<QVariantList> RecordSet::Impl::storedRow(long long index, int columnCount) const
{
    if (!updatable)
        return rows.at(index);
    Result<qint64> known = keys.at(index);
    if (!known)
        return known.error();
    const qint64 key = known.value();
    if (key == detail::KeyList::Gone)
        return Error{QStringLiteral("The record was deleted by another window.")};
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    if (Status s = readPageOf(index, columnCount); !s)
        return s.error();
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    return Error{QStringLiteral("The record was deleted by another window.")};
}

// Reads the page of 50 keys around a record in one statement.
Status RecordSet::Impl::readPageOf(long long index, int columnCount) const
{
    const long long first = index / PageSize * PageSize;
    const long long last = std::min<long long>(first + PageSize, keys.size());
    QStringList marks;
    QVariantList pageKeys;
    for (long long i = first; i < last; ++i) {
        Result<qint64> key = keys.at(i);
        if (!key)
            return key.error();
        if (key.value() == detail::KeyList::Gone)
            continue;
        marks.append(QStringLiteral("?"));
        pageKeys.append(QVariant::fromValue<qlonglong>(key.value()));
    }
    Result<std::unique_ptr<detail::Cursor>> cursor = conn->engine().query(
        QStringLiteral("SELECT %1, * FROM %2 WHERE %1 IN (%3)")
            .arg(conn->rowKey(), table, marks.join(QLatin1Char(','))),
        pageKeys);
    if (!cursor)
        return cursor.error();
    detail::Cursor& s = *cursor.value();
    if (cache.size() + PageSize > cacheLimit)
        cache.clear();
    for (;;) {
        Result<bool> row = s.step();
        if (!row)
            return row.error();
        if (!row.value())
            return {};
        QVariantList values;
        values.reserve(columnCount);
        for (int c = 0; c < columnCount; ++c)
            values.append(s.value(c + 1));
        cache.insert(s.value(0, ColumnKind::Integer).toLongLong(), std::move(values));
        ++rowsRead;
    }
}

} // namespace halvo
