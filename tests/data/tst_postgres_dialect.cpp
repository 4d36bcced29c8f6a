// The file's statements and schema steps as a PostgreSQL server takes them.

#include "data/postgres_dialect.h"

#include <QTest>

using halvo::detail::postgresSchema;
using halvo::detail::postgresStatement;

class TestPostgresDialect : public QObject {
    Q_OBJECT
private slots:
    void translatesStatements_data();
    void translatesStatements();
    void translatesSchemaLines_data();
    void translatesSchemaLines();
};

void TestPostgresDialect::translatesStatements_data()
{
    QTest::addColumn<QString>("sqlite");
    QTest::addColumn<QString>("postgres");
    QTest::newRow("marks in order")
        << "SELECT SUM(Income), SUM(Expense) FROM tblFinance WHERE RecDate >= ? AND RecDate < ?"
        << "SELECT SUM(Income), SUM(Expense) FROM tblFinance WHERE RecDate >= $1 AND RecDate < $2";
    QTest::newRow("a mark in a literal, a name or a comment stays")
        << "SELECT 'why?', \"a?\" FROM t WHERE x = ? -- rowid ?\nAND y = ?"
        << "SELECT 'why?', \"a?\" FROM t WHERE x = $1 -- rowid ?\nAND y = $2";
    QTest::newRow("a doubled quote stays in its literal")
        << "SELECT 1 FROM t WHERE Memo = 'it''s ? IFNULL(' AND NickName = ?"
        << "SELECT 1 FROM t WHERE Memo = 'it''s ? IFNULL(' AND NickName = $1";
    QTest::newRow("numbered marks") << "UPDATE t SET a = ?2 WHERE ID = ?1 AND b = ?"
                                    << "UPDATE t SET a = $2 WHERE ID = $1 AND b = $3";
    QTest::newRow("or ignore")
        << "INSERT OR IGNORE INTO tblRentChange (TenantID, FromDate, RentBefore) VALUES (?, ?, ?)"
        << "INSERT INTO tblRentChange (TenantID, FromDate, RentBefore) VALUES ($1, $2, $3) "
           "ON CONFLICT DO NOTHING";
    QTest::newRow("or ignore before a semicolon and a comment")
        << "insert or ignore into tblStatementAccount (Name) select Name from m; -- done"
        << "INSERT INTO tblStatementAccount (Name) select Name from m ON CONFLICT DO NOTHING; -- done";
    QTest::newRow("or replace of the rent terms")
        << "INSERT OR REPLACE INTO tblRentTerms (TenantID, DueDay, LateFee) VALUES (?, ?, ?)"
        << "INSERT INTO tblRentTerms (TenantID, DueDay, LateFee) VALUES ($1, $2, $3) ON CONFLICT "
           "(TenantID) DO UPDATE SET TenantID = EXCLUDED.TenantID, DueDay = EXCLUDED.DueDay, LateFee = EXCLUDED.LateFee";
    QTest::newRow("or replace of a file's account, from a select")
        << "INSERT OR REPLACE INTO tblFileAccount (Account, AccountID) SELECT ?, ID FROM "
           "tblStatementAccount WHERE Name = ?"
        << "INSERT INTO tblFileAccount (Account, AccountID) SELECT $1, ID FROM "
           "tblStatementAccount WHERE Name = $2 ON CONFLICT (Account) DO UPDATE SET "
           "Account = EXCLUDED.Account, AccountID = EXCLUDED.AccountID";
    QTest::newRow("or replace of a table whose key is not known stays")
        << "INSERT OR REPLACE INTO tblNotes (ID, Notes) VALUES (?, ?)"
        << "INSERT OR REPLACE INTO tblNotes (ID, Notes) VALUES ($1, $2)";
    QTest::newRow("ifnull and total")
        << "SELECT IFNULL(NickName, ''), TOTAL(Income - IFNULL(Expense, 0)) AS Total FROM t"
        << "SELECT COALESCE(NickName, ''), COALESCE(SUM(Income - COALESCE(Expense, 0)), 0) AS Total FROM t";
    QTest::newRow("last insert rowid")
        << "INSERT INTO tblImportLine (BatchID, FinanceID) VALUES (?, last_insert_rowid())"
        << "INSERT INTO tblImportLine (BatchID, FinanceID) VALUES ($1, lastval())";
    QTest::newRow("rowid, where 1 and backquoted names")
        << "SELECT rowid, `Memo` FROM tblFinance WHERE 1 AND rowid > ? ORDER BY rowid LIMIT ?"
        << "SELECT ID, Memo FROM tblFinance WHERE TRUE AND ID > $1 ORDER BY ID LIMIT $2";
    QTest::newRow("where 1 in a comparison stays")
        << "SELECT 1 FROM t WHERE 1 = ?" << "SELECT 1 FROM t WHERE 1 = $1";
    QTest::newRow("is between values, is null stays")
        << "SELECT 1 WHERE a IS NOT b OR c IS d OR e IS NOT NULL OR f IS NULL"
        << "SELECT 1 WHERE a IS DISTINCT FROM b OR c IS NOT DISTINCT FROM d OR e IS NOT NULL OR f "
           "IS NULL";
    QTest::newRow("nulls sort first as in the file; keys stay")
        << "SELECT * FROM tblAsset ORDER BY NickName ASC, InService DESC, t.ID LIMIT -1"
        << "SELECT * FROM tblAsset ORDER BY NickName ASC NULLS FIRST, InService DESC NULLS LAST, "
           "t.ID LIMIT ALL";
    QTest::newRow("an ordering inside parentheses ends there")
        << "SELECT (SELECT Name FROM l ORDER BY Name LIMIT 1), a FROM t ORDER BY TRIM(a) COLLATE "
           "NOCASE, 2"
        << "SELECT (SELECT Name FROM l ORDER BY Name NULLS FIRST LIMIT 1), a FROM t ORDER BY "
           "TRIM(a) COLLATE NOCASE NULLS FIRST, 2 NULLS FIRST";
}

void TestPostgresDialect::translatesStatements()
{
    QFETCH(QString, sqlite);
    QFETCH(QString, postgres);
    QCOMPARE(postgresStatement(sqlite), postgres);
}

void TestPostgresDialect::translatesSchemaLines_data()
{
    QTest::addColumn<QString>("sqlite");
    QTest::addColumn<QString>("postgres");
    QTest::newRow("the counter, kinds and case-blind text")
        << "CREATE TABLE IF NOT EXISTS tblNotes (ID INTEGER PRIMARY KEY AUTOINCREMENT, NoteDate "
           "DATE, NoteTime TIME, NickName TEXT COLLATE NOCASE, Amt CURRENCY DEFAULT 0, Miles NUMBER);"
        << "CREATE TABLE IF NOT EXISTS tblNotes (ID BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY "
           "KEY, NoteDate halvo_date, NoteTime halvo_time, NickName TEXT COLLATE NOCASE, Amt "
           "CURRENCY DEFAULT 0, Miles NUMBER);";
    QTest::newRow("an integer key, a blob, without rowid")
        << "CREATE TABLE c (AttachmentID INTEGER NOT NULL, Data BLOB, W REAL, PRIMARY KEY "
           "(AttachmentID)) WITHOUT ROWID;"
        << "CREATE TABLE c (AttachmentID BIGINT NOT NULL, Data BYTEA, W DOUBLE PRECISION, PRIMARY "
           "KEY (AttachmentID)) ;";
    QTest::newRow("a literal default stays")
        << "LateFee TEXT NOT NULL DEFAULT 'None INTEGER DATE'"
        << "LateFee TEXT NOT NULL DEFAULT 'None INTEGER DATE'";
    QTest::newRow("the sums of a day")
        << "INSERT INTO d SELECT RecDate, TOTAL(Income) FROM tblFinance GROUP BY RecDate;"
        << "INSERT INTO d SELECT RecDate, COALESCE(SUM(Income), 0) FROM tblFinance GROUP BY RecDate;";
}

void TestPostgresDialect::translatesSchemaLines()
{
    QFETCH(QString, sqlite);
    QFETCH(QString, postgres);
    QCOMPARE(postgresSchema(sqlite), postgres);
}

QTEST_GUILESS_MAIN(TestPostgresDialect)
#include "tst_postgres_dialect.moc"
