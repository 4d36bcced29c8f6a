#pragma once
// A bank statement as the import sees it, whichever file it came from (OFX, QFX or CSV): lines of
// money in and money out, each with the bank's own words for who was paid.

#include "data/money.h"

#include <QDate>
#include <QList>
#include <QString>

namespace halvo {

// What kind of account a bank's file says it is of; Unknown for a CSV file, which does not say.
enum class AccountKind { Unknown, Checking, Savings, MoneyMarket, CreditLine, CashManagement,
                         CreditCard, Investment };

// An account as a file names it. Not a name the user chose: the user names the account once
// (statements/statement_accounts.h), and the name stands for this from then on.
struct FileAccount {
    QString account; // as StatementLine::account holds it
    AccountKind kind = AccountKind::Unknown;
    QString number;  // the account's number alone, without the bank's; empty when unknown
};

struct StatementLine {
    int line = 0;    // where the line stands in its file (1-based), for messages; 0 when unknown
    QString account; // the bank account as the file names it: an OFX file's bank and account
                     // numbers (libofx's account id), a CSV file's mapping name
    QDate date;
    Money amount;    // money in positive, money out negative
    QString payee;   // as the bank wrote it
    QString memo;
    QString number;  // cheque or reference number
    // The bank's own id of the transaction (OFX FITID). For a CSV file, which has none, an id made
    // from the line's date, amount, payee, memo and number and how many lines before it in the
    // same file had all five the same: the same file read twice gives the same ids, and two
    // identical payments on one day stay two.
    QString bankId;
    // Cash moved in or out of an investment account (OFX INVBANKTRAN): money of the user's, but
    // not a bank transaction, so the import offers it unticked.
    bool investment = false;
};

struct Statement {
    QList<StatementLine> lines;
    // The accounts the file holds statements of, in the order it lists them; a statement made
    // otherwise may leave this empty, and its lines' accounts are then all that is known.
    QList<FileAccount> accounts = {};
    // The trades of an investment statement (securities bought, sold, reinvested, ...): they move
    // no money of a bank account, so they are left out of the lines, and only counted.
    int tradesLeftOut = 0;
};

} // namespace halvo
