#pragma once
// A scrollable, updatable set of records over a table or a statement, with the behaviour the
// windows were designed around: a current record that moves first, last, next and previous,
// BOF and EOF, an exact count, a 1-based position, and a buffer for the current record whose
// pending change is written when another record becomes current or on request.
//
// The set is keyset-driven: opening reads only the keys of the result; rows are read in pages of
// 50 when they are looked at, so a large table opens quickly and costs little memory. A set over
// one table (its name, or "SELECT * FROM table ..." with any WHERE and ORDER BY) is updatable;
// any other statement gives a read-only set whose rows are read at opening.
//
// Every row it writes, adds or removes is told through WriteNotices once it is committed.

#include "connection.h"
#include "row_source.h"
#include "write_notices.h"
#include "core/result.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace halvo {

// The code of the error of a write over a record another desktop changed after it was read.
inline constexpr int RecordChangedElsewhere = -1002;

class RecordSet : public QObject, public RowSource {
    Q_OBJECT
public:
    enum class EditMode { None, Editing, Adding };
    static constexpr int PageSize = 50;

    explicit RecordSet(QObject* parent = nullptr);
    ~RecordSet() override;

    // Opens over a table name or a statement; the first record becomes current. Whatever was
    // open before is closed first, its pending change written.
    Status open(const Connection& connection, const QString& source,
                const QVariantList& params = {});
    // Writes the pending change (an untouched new record is dropped) and closes.
    Status close();
    // Runs the source again: the pending change is written first, then the first record is current.
    Status requery();
    // Runs the source again only when the file may have changed since the set read it other than
    // through the set itself (another window, another program); otherwise the set stays as it
    // is, with its own additions, changes and deletions in it already. Reading the keys of a
    // large table again costs a sixth of a second; asking whether to costs microseconds. As
    // between two readings of any keyset, a row the set itself changed so that it no longer
    // matches the source stays in it until the next requery.
    Status refresh();
    bool isOpen() const;
    bool isUpdatable() const;
    QString source() const { return source_; }
    // The table of an updatable set, as the books name it; empty for any other.
    QString table() const;
    const Connection* connection() const;

    // Columns, in the order of the table or statement.
    const QList<Column>& columns() const override { return columns_; }
    // A column's index by name without regard to letter case; -1 when there is none.
    int columnIndex(const QString& name) const override;

    // Navigation. A move first writes the pending change of the current record; when that
    // fails the move does not happen. Failures of moves are also reported through error().
    Status moveFirst();
    Status moveLast();
    Status moveNext();
    Status movePrevious();
    // Makes the record at a 1-based position current (a grid row chosen).
    Status moveTo(int position);
    // The 1-based position of the first stored record, in the set's order, that also meets
    // `condition` (a WHERE condition on the set's table, with its values bound); 0 when none of
    // the set's records does. Finds a record among many without reading the rows before it (the
    // ledger opened at a month). Only an updatable set can be searched this way.
    Result<int> firstPositionWhere(const QString& condition, const QVariantList& params = {}) const;
    bool bof() const;
    bool eof() const;
    int recordCount() const override;
    // The current record's 1-based position; 0 when there is no current record.
    int absolutePosition() const;

    // The current record's fields, as held in its buffer.
    QVariant value(int column) const;
    QVariant value(const QString& name) const;
    Result<QVariant> field(const QString& name) const;
    // Changes the current record's buffer. The value must suit the column: money takes Money,
    // a whole number or text that parses as money; a date takes QDate or its stored text; an
    // empty text or a null QVariant clears a money, number, date or time column to NULL.
    Status setValue(int column, const QVariant& value);
    Status setValue(const QString& name, const QVariant& value);

    // A field of any record by 0-based row, without moving (the grid reads through this).
    QVariant valueAt(int row, int column) const override;

    Status addNew();
    // Writes the current record's pending change or new record.
    Status update();
    // Writes the pending change as leaving the record writes it: a new record that nobody typed
    // into is dropped instead. On failure the record stays current and pending, as it was.
    Status writePendingChange() { return writePending(true); }
    // Statements written with every row the set writes, in the same unit of work, given the row's
    // id: when either fails, neither is written and the change stays pending.
    void writeAlongside(std::function<Status(qint64 rowid)> write);
    // Record by record, a batch write is the write of the current record.
    Status updateBatch() { return update(); }
    void cancelUpdate();
    // Shared books: a record another desktop changed after the set read it is never written over
    // without a word. The write fails with RecordChangedElsewhere, naming who changed it, and the
    // change stays pending until one of these settles it.
    Status writeOverTheirs();           // writes the pending change as it stands
    Status showTheirs();                // drops the pending change and shows the record as it is
    // The key of the current record; 0 for a new one or none.
    qint64 currentKey() const;
    // Another desktop changed or removed a row: the set reads it afresh when it next shows it.
    void forgetRow(qint64 key);
    // Removes the current record from the database at once. It stays current, as a deleted
    // record, until the next move: moveNext() then goes to the record that followed it.
    Status deleteCurrent();

    EditMode editMode() const { return editMode_; }
    // How many rows have been read from the database since the set was opened: a measure of
    // the work its moves and views cause.
    long long rowsRead() const;
    // True when the current record has changes not yet written.
    bool isDirty() const;

signals:
    // Another record became current, or the current one was re-read (the data control's
    // MoveComplete).
    void moveComplete();
    // A failure in something the window did not ask for directly: writing on a move, reading
    // a page (the data control's Error).
    void error(const halvo::Error& error);
    // Records were added, removed or re-read: views of the whole set refresh.
    void recordsChanged();
    // A field of the current record changed in the buffer.
    void valueChanged(int column);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    QString source_;
    QList<Column> columns_;
    EditMode editMode_ = EditMode::None;
    std::function<Status(qint64)> alongside; // written with each row, in its unit of work

    Status writePending(bool dropUntouchedNew);
    Error notWritten(qint64 key) const;
    bool overwriting = false; // the next write goes over another desktop's change
    Status moveToIndex(long long index);
    Status loadCurrent();
    Status fail(const Error& e);
    void noteRead();
    void noteOwnWrite(qint64 changes);
    RowFields fieldsOf(const QVariantList& row) const;
    RowFields storedFields(long long index) const;
    void announce(CommittedWrite::Kind kind, const RowFields& before, const RowFields& after,
                  qint64 changes) const;
};

} // namespace halvo

Q_DECLARE_METATYPE(halvo::Error)
