#pragma once
// What a record set holds, shared by the files that make it up: record_set.cpp (opening, moving
// and the current record's fields), record_set_pages.cpp (the rows read page by page) and
// record_set_writes.cpp (adding, writing and deleting). Not for use outside them.

#include "key_list.h"
#include "record_set.h"
#include "engine.h"

#include <QBitArray>
#include <QHash>
#include <optional>
#include <vector>

namespace halvo {

namespace detail {

inline const QString notUpdatable = QStringLiteral("This set of records cannot be changed.");
inline const QString noCurrentRecord =
    QStringLiteral("Either BOF or EOF is True, or the current record has been deleted.");

// A table or column name as the statement names it.
QString quoted(const QString& identifier);

} // namespace detail

struct RecordSet::Impl {
    std::optional<Connection> conn;
    QVariantList params;
    bool updatable = false;
    QString table;       // quoted, when updatable
    QString tableName;   // as the database names it, when updatable
    QString where;       // the source's condition, without WHERE; empty for every row
    QString orderBy;     // the source's ordering, without ORDER BY; empty for the table's own
    detail::KeyList keys;
    QList<QVariantList> rows; // the rows of a read-only set, read at opening

    // Rows read so far, by key. Bounded: rows of pages looked at long ago are dropped.
    mutable QHash<qint64, QVariantList> cache;
    mutable long long rowsRead = 0;
    static constexpr int cacheLimit = 8 * PageSize;

    // What the file was when the set last read its keys: this program's count of changed rows and
    // the file's version (another program's commits move it).
    qint64 changesSeen = -1;
    qint64 versionSeen = -1;

    long long current = -1; // index of the current record; -1 before the first, size at the end
    bool currentDeleted = false;
    bool adding = false;    // the current record is a new one, after the stored ones
    QVariantList buffer;    // the current record's fields
    QVariantList shown;     // the current record's fields as they were read
    QBitArray edited;

    long long storedCount() const
    {
        return updatable ? keys.size() : rows.size();
    }
    long long count() const { return storedCount() + (adding ? 1 : 0); }
    bool hasCurrent() const { return !currentDeleted && current >= 0 && current < count(); }

    Result<QVariantList> storedRow(long long index, int columnCount) const;
    Status readPageOf(long long index, int columnCount) const;
};

} // namespace halvo
