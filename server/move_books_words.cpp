#include "move_books_words.h"

#include <QHash>
#include <QLocale>

namespace halvo {

namespace {

// What the records of a table are called; a table not named here is shown by its own name.
QString recordsOf(const QString& table)
{
    static const QHash<QString, QString> names = {
        {"tblbuilding", "Properties"},
        {"tbltenant", "Tenants"},
        {"tblloan", "Loans"},
        {"tblinsurance", "Insurance policies"},
        {"tblvendor", "Vendors"},
        {"tblcategory", "Categories"},
        {"tblfinance", "Income and expense rows"},
        {"tblnotes", "Notes"},
        {"tbluser", "Passwords"},
        {"tblledgerday", "Days of the ledger's sums"},
        {"tblimportbatch", "Statement imports"},
        {"tblimportline", "Imported statement lines"},
        {"tblpayeerule", "Payee rules"},
        {"tblcsvmapping", "CSV mappings"},
        {"tblstatementaccount", "Statement accounts"},
        {"tblrentterms", "Rent terms"},
        {"tblrentchange", "Rent changes"},
        {"tblrentpayment", "Rent payments"},
        {"tbldeposit", "Deposit entries"},
        {"tblattachment", "Documents"},
        {"tblattachmentchunk", "Document chunks"},
        {"tblattachmentlink", "Document attachments"},
        {"tblmileage", "Mileage log entries"},
        {"tblasset", "Depreciable assets"},
    };
    return names.value(table.toLower(), table);
}

QString number(qint64 n) { return QLocale(QLocale::English).toString(n); }

const QString NothingKept = QStringLiteral("Nothing of the move was kept.");

} // namespace

QString movedWords(const BooksMoved& moved)
{
    QStringList lines;
    int withRecords = 0;
    for (const MovedTable& t : moved.tables) {
        if (t.rows == 0)
            continue;
        ++withRecords;
        lines.append(QStringLiteral("%1: %2").arg(recordsOf(t.table), number(t.rows)));
    }
    QString text = QStringLiteral("The books were moved from %1 to %2, and checked there: %3 "
                                  "records in %4 tables.")
                       .arg(moved.from, moved.to, number(moved.rowsMoved()), number(withRecords));
    if (!lines.isEmpty())
        text += QStringLiteral("\n\n") + lines.join(QLatin1Char('\n'));
    return text;
}

QString refusalWords(const MoveRefusal& r)
{
    using Kind = MoveRefusal::Kind;
    switch (r.kind) {
    case Kind::BooksHoldRecords:
        return QStringLiteral("The books %1 already hold records (%2 among them). Books are moved "
                              "only into books that hold none, so that no one's records are mixed "
                              "with others. Nothing was written.")
            .arg(r.where, recordsOf(r.table));
    case Kind::MayOnlyRead:
        return QStringLiteral("Your role may only read the shared books %1. The books can be moved "
                              "there by a role that may change them. Nothing was written.")
            .arg(r.where);
    case Kind::FileExists:
        return QStringLiteral("The file \"%1\" is there already. The books are moved only into a "
                              "new file: choose another name.")
            .arg(r.where);
    case Kind::TableMissing:
        return QStringLiteral("The books %1 have no table %2: they were made by another version "
                              "of HALVO. Nothing was written.")
            .arg(r.where, r.table);
    case Kind::RowsDiffer:
        return QStringLiteral("The books did not arrive whole in %1: %2 came to %3 where %4 were "
                              "sent. %5")
            .arg(r.where, recordsOf(r.table), r.found, r.expected, NothingKept);
    case Kind::MoneyDiffers:
        return QStringLiteral("The books did not arrive whole in %1: %2 (%3) add up to %4 where "
                              "%5 were sent. %6")
            .arg(r.where, recordsOf(r.table), r.column, r.found, r.expected, NothingKept);
    case Kind::DocumentDiffers:
        return QStringLiteral("The books did not arrive whole in %1: the document with ID %2 does "
                              "not match its fingerprint (it may have been damaged in the file it "
                              "came from). %3")
            .arg(r.where, r.found, NothingKept);
    }
    return NothingKept;
}

QString moveWords(const MoveOutcome& outcome)
{
    if (outcome.ok())
        return movedWords(outcome.value());
    if (outcome.refused())
        return refusalWords(outcome.refusal());
    return QStringLiteral("The books could not be moved: %1\n\n%2")
        .arg(outcome.error().description, NothingKept);
}

} // namespace halvo
