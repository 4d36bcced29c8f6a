#pragma once
// A bank statement as the import sees it, whichever file it came from (OFX, QFX or CSV): lines of
// money in and money out, each with the bank's own words for who was paid.

#include "data/money.h"

#include <QDate>
#include <QList>
#include <QString>

namespace halvo {

struct StatementLine {
    int line = 0;    // where the line stands in its file (1-based), for messages; 0 when unknown
    QString account; // the bank account the statement is of (OFX account id); for a CSV file the
                     // name of its saved mapping, which stands for the bank account
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
};

struct Statement {
    QList<StatementLine> lines;
};

} // namespace halvo
