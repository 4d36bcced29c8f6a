#include "glance_schema.h"

#include "data/postgres_dialect.h"

namespace halvo {

namespace {

// Every year at a glance adds up each year the ledger holds. Over the ledger's own rows that is
// the whole ledger, read again at every opening and at every change of the file; over these
// sums it is a row a day at most, however many rows a day holds.
//
// A day of the portfolio is kept under the nickname '' (every dated row, those of no property
// among them), a day of a property under its nickname, compared as the ledger compares it
// (without regard to letter case); a row whose nickname is empty is the portfolio's alone. The
// date is kept as the ledger stores it, so that a stretch of dates picks exactly the sums of the
// rows it picks in the ledger; an undated row is in no stretch, and not kept. A day whose last
// row leaves is removed, so that the table holds what grouping the ledger by day would give.
//
// No statement of the triggers can stop midway: the sums have no NOT NULL of their own (the
// triggers never write a NULL) and a new day is added OR IGNORE. A constraint that could stop
// one would make every statement that writes a ledger row keep a copy of each page it changes,
// to undo it alone, which made an import of 10,000 lines four times as slow.
//
// The triggers of a change run only when a column they keep changed. The sums are made from the
// rows the file holds when the step is taken, anew where a file takes it again (one whose step
// number was lost, and which holds the table already), so that none is counted twice.
const char* const dayTable = R"(
CREATE TABLE IF NOT EXISTS tblLedgerDay (NickName TEXT COLLATE NOCASE NOT NULL,
    RecDate DATE NOT NULL, Income CURRENCY DEFAULT 0, Expense CURRENCY DEFAULT 0,
    RowCount INTEGER DEFAULT 0, PRIMARY KEY (NickName, RecDate)) WITHOUT ROWID;
DELETE FROM tblLedgerDay;
INSERT INTO tblLedgerDay (NickName, RecDate, Income, Expense, RowCount)
    SELECT '', RecDate, TOTAL(Income), TOTAL(Expense), COUNT(*) FROM tblFinance
    WHERE RecDate IS NOT NULL GROUP BY RecDate;
INSERT INTO tblLedgerDay (NickName, RecDate, Income, Expense, RowCount)
    SELECT NickName, RecDate, TOTAL(Income), TOTAL(Expense), COUNT(*) FROM tblFinance
    WHERE RecDate IS NOT NULL AND NickName <> '' GROUP BY NickName COLLATE NOCASE, RecDate;
)";

// What a ledger row's leaving takes from its days, and what its coming adds to them: the
// triggers of a row removed, added and changed are made of these two.
const char* const rowLeaves = R"(
    UPDATE tblLedgerDay SET Income = Income - IFNULL(OLD.Income, 0),
        Expense = Expense - IFNULL(OLD.Expense, 0), RowCount = RowCount - 1
        WHERE NickName = '' AND RecDate = OLD.RecDate;
    DELETE FROM tblLedgerDay WHERE NickName = '' AND RecDate = OLD.RecDate AND RowCount <= 0;
    UPDATE tblLedgerDay SET Income = Income - IFNULL(OLD.Income, 0),
        Expense = Expense - IFNULL(OLD.Expense, 0), RowCount = RowCount - 1
        WHERE OLD.NickName <> '' AND NickName = OLD.NickName AND RecDate = OLD.RecDate;
    DELETE FROM tblLedgerDay
        WHERE OLD.NickName <> '' AND NickName = OLD.NickName AND RecDate = OLD.RecDate
        AND RowCount <= 0;
)";
const char* const rowComes = R"(
    INSERT OR IGNORE INTO tblLedgerDay (NickName, RecDate)
        SELECT '', NEW.RecDate WHERE NEW.RecDate IS NOT NULL;
    UPDATE tblLedgerDay SET Income = Income + IFNULL(NEW.Income, 0),
        Expense = Expense + IFNULL(NEW.Expense, 0), RowCount = RowCount + 1
        WHERE NickName = '' AND RecDate = NEW.RecDate;
    INSERT OR IGNORE INTO tblLedgerDay (NickName, RecDate)
        SELECT NEW.NickName, NEW.RecDate WHERE NEW.RecDate IS NOT NULL AND NEW.NickName <> '';
    UPDATE tblLedgerDay SET Income = Income + IFNULL(NEW.Income, 0),
        Expense = Expense + IFNULL(NEW.Expense, 0), RowCount = RowCount + 1
        WHERE NEW.NickName <> '' AND NickName = NEW.NickName AND RecDate = NEW.RecDate;
)";

QString dayTableStep()
{
    const QString leaves = QString::fromUtf8(rowLeaves);
    const QString comes = QString::fromUtf8(rowComes);
    return QString::fromUtf8(dayTable)
           + QStringLiteral("CREATE TRIGGER IF NOT EXISTS trgLedgerDayAdded AFTER INSERT ON "
                            "tblFinance\n    WHEN NEW.RecDate IS NOT NULL BEGIN")
           + comes + QStringLiteral("END;\n")
           + QStringLiteral("CREATE TRIGGER IF NOT EXISTS trgLedgerDayRemoved AFTER DELETE ON "
                            "tblFinance\n    WHEN OLD.RecDate IS NOT NULL BEGIN")
           + leaves + QStringLiteral("END;\n")
           + QStringLiteral("CREATE TRIGGER IF NOT EXISTS trgLedgerDayChanged\n"
                            "    AFTER UPDATE OF NickName, RecDate, Income, Expense ON tblFinance\n"
                            "    WHEN OLD.NickName IS NOT NEW.NickName OR OLD.RecDate IS NOT "
                            "NEW.RecDate\n        OR OLD.Income IS NOT NEW.Income OR OLD.Expense "
                            "IS NOT NEW.Expense BEGIN")
           + leaves + comes + QStringLiteral("END;\n");
}

// On a PostgreSQL server the nickname column's own collation is the case-blind one, so the
// days of a property group by it as it stands (the server takes a grouping by a collated
// expression as another expression than the column it selects).
const char* const dayTablePostgres = R"(
CREATE TABLE IF NOT EXISTS tblLedgerDay (NickName TEXT COLLATE NOCASE NOT NULL,
    RecDate halvo_date NOT NULL, Income CURRENCY DEFAULT 0, Expense CURRENCY DEFAULT 0,
    RowCount BIGINT DEFAULT 0, PRIMARY KEY (NickName, RecDate));
DELETE FROM tblLedgerDay;
INSERT INTO tblLedgerDay (NickName, RecDate, Income, Expense, RowCount)
    SELECT '', RecDate, COALESCE(SUM(Income), 0), COALESCE(SUM(Expense), 0), COUNT(*)
    FROM tblFinance WHERE RecDate IS NOT NULL GROUP BY RecDate;
INSERT INTO tblLedgerDay (NickName, RecDate, Income, Expense, RowCount)
    SELECT NickName, RecDate, COALESCE(SUM(Income), 0), COALESCE(SUM(Expense), 0), COUNT(*)
    FROM tblFinance WHERE RecDate IS NOT NULL AND NickName <> '' GROUP BY NickName, RecDate;
)";

// A trigger on the server runs a function: one a trigger, made of the same leaving and coming
// as the file's, in the server's words.
QString postgresTrigger(const QString& name, const QString& event, const QString& when,
                        const QString& body)
{
    return QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql "
                          "AS $$\nBEGIN%2    RETURN NULL;\nEND $$;\n"
                          "CREATE OR REPLACE TRIGGER %1 %3\n    FOR EACH ROW WHEN (%4)\n"
                          "    EXECUTE FUNCTION %1();\n")
        .arg(name, detail::postgresStatement(body), event, detail::postgresStatement(when));
}

QString dayTablePostgresStep()
{
    const QString leaves = QString::fromUtf8(rowLeaves);
    const QString comes = QString::fromUtf8(rowComes);
    return QString::fromUtf8(dayTablePostgres)
           + postgresTrigger(QStringLiteral("trgLedgerDayAdded"),
                             QStringLiteral("AFTER INSERT ON tblFinance"),
                             QStringLiteral("NEW.RecDate IS NOT NULL"), comes)
           + postgresTrigger(QStringLiteral("trgLedgerDayRemoved"),
                             QStringLiteral("AFTER DELETE ON tblFinance"),
                             QStringLiteral("OLD.RecDate IS NOT NULL"), leaves)
           + postgresTrigger(QStringLiteral("trgLedgerDayChanged"),
                             QStringLiteral("AFTER UPDATE OF NickName, RecDate, Income, Expense "
                                            "ON tblFinance"),
                             QStringLiteral("OLD.NickName IS NOT NEW.NickName OR OLD.RecDate IS "
                                            "NOT NEW.RecDate\n        OR OLD.Income IS NOT "
                                            "NEW.Income OR OLD.Expense IS NOT NEW.Expense"),
                             leaves + comes);
}

} // namespace

const SchemaSteps& glanceSchemaSteps()
{
    static const SchemaSteps steps = {
        {7, "the ledger's sums by day", dayTableStep(), nullptr, dayTablePostgresStep()},
    };
    return steps;
}

} // namespace halvo
