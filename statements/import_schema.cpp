#include "import_schema.h"

namespace halvo {

namespace {

// The amount indexes let the duplicate check find the rows of one amount in a few days without
// reading the ledger; the date index alone would read every row of those days.
const char* const importTables = R"(
CREATE TABLE IF NOT EXISTS tblImportBatch (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    ImportedAt TEXT, Source TEXT COLLATE NOCASE, Lines INTEGER);
CREATE TABLE IF NOT EXISTS tblImportLine (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    BatchID INTEGER, FinanceID INTEGER UNIQUE, Account TEXT, BankID TEXT);
CREATE INDEX IF NOT EXISTS idxImportLineBank ON tblImportLine(Account, BankID);
CREATE INDEX IF NOT EXISTS idxImportLineBatch ON tblImportLine(BatchID);
CREATE TABLE IF NOT EXISTS tblPayeeRule (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Match TEXT, Text TEXT COLLATE NOCASE, NickName TEXT COLLATE NOCASE,
    Payee TEXT COLLATE NOCASE, Category TEXT COLLATE NOCASE);
CREATE TABLE IF NOT EXISTS tblCsvMapping (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Name TEXT COLLATE NOCASE UNIQUE, Mapping TEXT);
CREATE INDEX IF NOT EXISTS idxFinanceIncome ON tblFinance(Income, RecDate);
CREATE INDEX IF NOT EXISTS idxFinanceExpense ON tblFinance(Expense, RecDate);
)";

// Files imported into before accounts had names keep their lines under the files' own names of
// the accounts. A CSV mapping's name stood for its account: each becomes an account of that
// name, which the mapping chooses, as does the name of a mapping no longer saved that lines were
// read with (their bank ids begin "csv:"). An OFX account's numbers are no name; the user names
// the account at its next import, and its earlier lines go with it.
const char* const namedAccounts = R"(
CREATE TABLE IF NOT EXISTS tblStatementAccount (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    Name TEXT COLLATE NOCASE UNIQUE);
CREATE TABLE IF NOT EXISTS tblFileAccount (Account TEXT PRIMARY KEY, AccountID INTEGER);
INSERT OR IGNORE INTO tblStatementAccount (Name) SELECT Name FROM tblCsvMapping WHERE Name <> '';
INSERT OR IGNORE INTO tblStatementAccount (Name)
    SELECT DISTINCT Account FROM tblImportLine WHERE BankID LIKE 'csv:%' AND Account <> '';
INSERT OR IGNORE INTO tblFileAccount (Account, AccountID)
    SELECT m.Name, a.ID FROM tblCsvMapping m JOIN tblStatementAccount a ON a.Name = m.Name;
INSERT OR IGNORE INTO tblFileAccount (Account, AccountID)
    SELECT DISTINCT i.Account, a.ID FROM tblImportLine i
    JOIN tblStatementAccount a ON a.Name = i.Account WHERE i.BankID LIKE 'csv:%';
)";

} // namespace

const SchemaSteps& importSchemaSteps()
{
    static const SchemaSteps steps = {
        {2, "the statement import's tables", QString::fromUtf8(importTables)},
        {3, "the names of the statements' accounts", QString::fromUtf8(namedAccounts),
         "tblStatementAccount"},
    };
    return steps;
}

} // namespace halvo
