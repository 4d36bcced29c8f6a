#pragma once
// What the killed writer says it has written, and what the ledger must therefore hold.
//
// The writer works in units of work. Before each it prints the unit ("want +K ~K=T -K": add the
// row with check number K, set the memo of K to the text tagged T, delete K); after the unit is
// committed it prints "done". A "done" line is the writer's word that the unit is in the file.
// Every field of a row follows from its check number and its memo tag, so a row that is there
// but torn is told from a whole one.

#include "data/money.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

namespace halvo::crashloop {

struct Change {
    enum class Kind { Add, Edit, Delete };
    Kind kind = Kind::Add;
    QString key;     // the row's check number
    QString memoTag; // for an edit, the tag of the new memo
};

using Unit = QList<Change>;

QString describe(const Unit& unit);
std::optional<Unit> parseUnit(const QString& text);

// The fields of the row with a check number, as the writer enters them.
QString payeeFor(const QString& key);
Money incomeFor(const QString& key);
QDate dateFor(const QString& key);
QString firstMemoTag(const QString& key);
// A memo long enough that some rows spill over a page, with its tag in front.
QString memoFor(const QString& tag);
// The tag of a memo, or nothing when the memo is not one the writer made.
std::optional<QString> tagOfMemo(const QString& memo);

// The ledger's rows by check number, each with its memo tag.
using LedgerRows = QHash<QString, QString>;

LedgerRows applied(LedgerRows rows, const Unit& unit);

// The writer's output, read line by line.
class WriterLog {
public:
    // Returns false on a line the writer would never print.
    bool read(const QByteArray& output);
    bool sawReady() const { return ready; }
    const QList<Unit>& committed() const { return done; }
    // The unit announced and not confirmed: it may be in the file whole, or not at all.
    const std::optional<Unit>& inFlight() const { return pending; }

private:
    bool ready = false;
    QList<Unit> done;
    std::optional<Unit> pending;
};

// How the file differs from what the writer confirmed.
struct Findings {
    int rowsLost = 0;       // confirmed rows that are not there
    int editsLost = 0;      // confirmed memos that are not there
    int deletesUndone = 0;  // rows whose delete was confirmed, there again
    int unexpectedRows = 0; // rows nobody wrote
    int tornUnits = 0;      // the unit in flight is there in part
    bool ok() const
    {
        return rowsLost + editsLost + deletesUndone + unexpectedRows + tornUnits == 0;
    }
};

Findings compare(const LedgerRows& confirmed, const std::optional<Unit>& inFlight,
                 const LedgerRows& found, const QSet<QString>& deleted);

} // namespace halvo::crashloop
