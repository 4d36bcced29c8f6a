#pragma once
// The books moved whole between the encrypted file and shared books on a PostgreSQL server: every
// table of the file, each row with its own ID, in one unit of work, and checked on arrival
// before the move counts as done (rows per table, money per money column, and each document's
// bytes against its hash). The books moved from are only read.

#include "core/outcome.h"
#include "data/connection.h"
#include "data/money.h"

#include <QList>
#include <QString>

namespace halvo {

// One table as it arrived: its rows.
struct MovedTable {
    QString table;
    qint64 rows = 0;
};

// What a move did: every table of the books, in the order they were moved.
struct BooksMoved {
    QString from; // the file's path or the shared books' place
    QString to;
    QList<MovedTable> tables;
    qint64 rowsMoved() const;
    qint64 rowsOf(const QString& table) const;
};

// Why a move was not made, or did not stand; nothing was left changed.
struct MoveRefusal {
    enum class Kind {
        BooksHoldRecords, // the books moved into already hold records (in `table`)
        MayOnlyRead,      // the role may only read the shared books
        FileExists,       // the new file's path names a file already
        TableMissing,     // the books moved into have no `table`
        RowsDiffer,       // `table` arrived with `found` rows where `expected` were sent
        MoneyDiffers,     // `column` of `table` adds up to `found` where `expected` was sent
        DocumentDiffers,  // the document with ID `found` does not hash to its Sha256
    };
    Kind kind;
    QString where; // the books moved into
    QString table;
    QString column;
    QString expected;
    QString found;
};

using MoveOutcome = Outcome<BooksMoved, MoveRefusal>;

// Moves the file's books into shared books that hold none yet. Refused, before anything is
// written, when any of the books' tables there holds a row, or when the role may only read.
MoveOutcome moveBooksToServer(const Connection& file, const Connection& server);

// Moves shared books into a NEW file at `path`, keyed with `password`; refused when a file is
// there. A move that fails removes the file it made.
MoveOutcome moveBooksToFile(const Connection& server, const QString& path,
                            const QString& password);

} // namespace halvo
