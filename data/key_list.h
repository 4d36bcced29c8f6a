#pragma once
// Inside the data layer: the keys of an updatable record set, in the set's order.
//
// A set of some thousands of rows, or one in an order of its own, reads every key when it opens.
// A larger set in the table's order (the ledger's million rows) reads how many there are and
// the keys of its last rows; every other key is read when it is asked for, a page at a time. A page is found from the keys already read on either side of it,
// so that the keys stay in the table's order and none stands twice, whatever other windows
// change meanwhile; the set holds no row entered after it opened, as a set read whole does not.
// A row another window deleted before its page was read leaves its place empty (Gone), and the
// set shows that record as deleted, as it shows one deleted after it was read.

#include "connection.h"

#include <limits>
#include <optional>
#include <vector>

namespace halvo::detail {

class KeyList {
public:
    static constexpr qint64 Gone = std::numeric_limits<qint64>::min();
    // Below this many rows every key is read at once: it costs less than a page of the grid.
    static constexpr long long WholeLimit = 20000;
    static constexpr long long Page = 256;

    // Reads the keys of the rows of `table` (as the statement names it) that meet `condition`
    // (empty: every row), in the order `orderBy` (empty: the table's own), with `params` bound
    // to the condition's marks.
    Status read(const Connection& connection, const QString& table, const QString& condition,
                const QString& orderBy, const QVariantList& params);

    long long size() const { return static_cast<long long>(keys.size()); }
    // The key at an index, its page read when it is not known yet; Gone for a row deleted
    // before its page was read.
    Result<qint64> at(long long index) const;
    void append(qint64 key) { keys.push_back(key); }
    void erase(long long index) { keys.erase(keys.begin() + index); }
    // The index of the first row, in the set's order, that also meets `condition`; -1 when
    // none does.
    Result<long long> firstWhere(const QString& condition, const QVariantList& params) const;

private:
    static constexpr qint64 Unknown = Gone + 1;

    // The nearest keys read before `from` and from `to` on (-1 or size() when none), and how
    // many keys between them and the range are not read yet.
    struct Around {
        long long before;
        long long unknownBefore;
        long long after;
        long long unknownAfter;
    };
    Around knownAround(long long from, long long to) const;
    Status readPage(long long index) const;
    QString statement(const QString& what, const QString& extra) const;

    std::optional<Connection> conn;
    QString table;
    QString key;       // the column that keys the table's rows
    QString condition; // "(...)", or "1 = 1" for every row
    QString ordering;  // " ORDER BY ..."
    QVariantList params;
    bool partial = false; // only some keys read: the table's order, read page by page
    mutable std::vector<qint64> keys;
};

} // namespace halvo::detail
