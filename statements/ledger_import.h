#pragma once
// A bank statement into the ledger. Nothing is written until the user has seen every line: the
// plan gives each line its property, payee and category (from the payee rules) and says whether
// the ledger holds it already. Duplicates are flagged and left unticked, never dropped; the user
// has the last word. The import is then written in one unit of work as one batch, which "Undo last
// import" removes again, exactly its rows. Existing rows are never changed.
//
// Each imported row keeps the bank's id of it, its account as the file names it, and its batch in
// tables of their own (tblImportBatch, tblImportLine), so the ledger's columns and every report
// stay as they were; the user's names of the accounts are kept beside them (tblStatementAccount,
// and tblFileAccount for what each file calls them).

#include "statement.h"
#include "core/outcome.h"
#include "data/connection.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <optional>

namespace halvo {

// What the import, or a payee rule, will not write, and nothing is written: the window says why.
struct ImportRefusal {
    enum class Kind {
        NothingTicked,
        AmountZero, // the ledger shows no line of $0.00
        NoPayee,
        NoDate,
        RuleWithoutText, // a payee rule that would match no payee
    };
    Kind kind = Kind::NothingTicked;
    // The line refused: where it stands in its file (StatementLine::line), and its date, which
    // names it when the file numbers none.
    int line = 0;
    QDate date;
};

struct PayeeRule {
    enum class Match { StartsWith, Contains, Is };
    qint64 id = 0;
    Match match = Match::StartsWith;
    QString text; // compared without regard to letter case
    QString property, payee, category; // what a matching line gets; an empty one leaves it as is

    bool matches(const QString& bankPayee) const;
};

// The rules, the most particular first: "is" before "starts with" before "contains", and among
// those the longer text first; the first that matches a line is the one applied.
Result<QList<PayeeRule>> loadPayeeRules(const Connection& connection);
// Adds the rule (id 0) or changes it; the rule's id.
Outcome<qint64, ImportRefusal> savePayeeRule(const Connection& connection, const PayeeRule& rule);
Status deletePayeeRule(const Connection& connection, qint64 id);
const PayeeRule* ruleFor(const QList<PayeeRule>& rules, const QString& bankPayee);

// Why a line is taken for one the ledger has.
struct Duplicate {
    enum class Kind {
        ImportedBefore, // its bank id, from the same account
        EarlierInFile,  // its bank id stands earlier in the same statement
        LedgerRow,      // a row of the same kind and amount, a few days apart, a similar payee
    };
    Kind kind = Kind::ImportedBefore;
    // The ledger's row, for LedgerRow.
    Money amount;
    QString payee;
    QDate date;
};

struct ImportLine {
    enum class State { New, Duplicate, NeedsCategory };

    StatementLine bank;
    // The name of the account the line is of (statements/statement_accounts.h); empty while the
    // file's account has none.
    QString account;
    QString property; // NickName
    QString payee;    // the ledger's Payee: a rule's vendor, else what the bank wrote
    QString category;
    bool fromRule = false;
    // Why the line is taken for one the ledger has: none when it is new.
    std::optional<Duplicate> duplicateOf;
    bool ticked = true;

    bool income() const { return !bank.amount.isNegative(); }
    State state() const;
};

// Whether two payees name the same party, as a bank and a user write them: letter case,
// punctuation and extra words aside ("CITY WATER DEPT #123" and "City Water").
bool similarPayee(const QString& a, const QString& b);

// The lines as they would be imported. A line is a duplicate when its bank id was imported from
// the same account before (or stands earlier in the same statement), or when the ledger holds a
// row of the same kind and amount dated within 3 days of it with a similar payee, typed by hand
// or imported from the same account. The same account is the same named account
// (statement_accounts.h), whichever file of it a row came from; names holds the names the user
// gave now to the file's accounts that have none yet (by StatementLine::account), which
// writeImport then keeps. A cash line of an investment account is never ticked.
Result<QList<ImportLine>> planImport(const Connection& connection, const Statement& statement,
                                     const QHash<QString, QString>& names = {});

struct ImportBatch {
    qint64 id = 0;
    QString source; // the statement's file name
    QDateTime importedAt;
    int lines = 0;
};

// Writes the ticked lines as one batch, all or none, with the names of the accounts the plan
// was given; the batch, or (with nothing written) what it refuses or an error.
// A line that has neither payee nor amount cannot be written: the ledger requires both.
Outcome<ImportBatch, ImportRefusal> writeImport(const Connection& connection,
                                                const QList<ImportLine>& lines,
                                                const QString& source);
// The batch "Undo last import" would remove; none when nothing imported is left.
Result<std::optional<ImportBatch>> lastImport(const Connection& connection);
// Removes the batch's rows from the ledger, and the batch: how many rows went.
Result<int> undoImport(const Connection& connection, qint64 batchId);

} // namespace halvo
