#pragma once
// What the record sets have written, told as it is committed: which file and table, whether a row
// was added, changed or removed, and the row's fields before and after. Whoever shows totals of
// the data (the portfolio summary) follows it at once instead of reading the database again; a
// write made any other way (a statement of a window's own, another program) is not told here.

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>

namespace halvo {

using RowFields = QHash<QString, QVariant>; // by column name as the table writes it

struct CommittedWrite {
    enum class Kind { Insert, Update, Delete };
    QString file;  // the database file, its absolute path
    QString table; // as the database names it: "tblFinance"
    Kind kind = Kind::Insert;
    RowFields before; // empty for an insert
    RowFields after;  // empty for a delete
    // The engine's count of rows changed through the file's handle, once the write was made: a
    // follower that has seen this count knows of every change up to it.
    qint64 changesSoFar = 0;
    // How many of those the write made: its row, and the rows the file's own triggers changed
    // with it (a rent payment keeps its ledger row's date and amount so). A follower that had
    // seen the count before the write has seen everything up to changesSoFar once it follows it.
    qint64 changesOfWrite = 1;
};

// A change another desktop committed to shared books, as the server told it: which table and row,
// what was done to it, and the server role of whoever did it.
struct ChangeElsewhere {
    QString books; // as Connection::filePath() names them
    QString table;
    CommittedWrite::Kind kind = CommittedWrite::Kind::Update;
    qint64 id = 0; // the row's ID; 0 for a table without one
    QString who;
};

class WriteNotices : public QObject {
    Q_OBJECT
public:
    static WriteNotices& instance();

signals:
    void committed(const halvo::CommittedWrite& write);
    void changedElsewhere(const halvo::ChangeElsewhere& change);
};

} // namespace halvo
