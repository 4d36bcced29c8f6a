#include "record_set_impl.h"

#include <algorithm>

namespace halvo {

using detail::Statement;

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
    Result<Statement> stmt = Statement::prepare(
        conn->handle(), QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid IN (%2)")
                            .arg(table, marks.join(QLatin1Char(','))));
    if (!stmt)
        return stmt.error();
    Statement& s = stmt.value();
    if (Status b = s.bind(pageKeys); !b)
        return b;
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
        cache.insert(s.integer(0), std::move(values));
        ++rowsRead;
    }
}

} // namespace halvo
