#include "glance_schema.h"

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

CREATE TRIGGER IF NOT EXISTS trgLedgerDayAdded AFTER INSERT ON tblFinance
    WHEN NEW.RecDate IS NOT NULL BEGIN
    INSERT OR IGNORE INTO tblLedgerDay (NickName, RecDate) VALUES ('', NEW.RecDate);
    UPDATE tblLedgerDay SET Income = Income + IFNULL(NEW.Income, 0),
        Expense = Expense + IFNULL(NEW.Expense, 0), RowCount = RowCount + 1
        WHERE NickName = '' AND RecDate = NEW.RecDate;
    INSERT OR IGNORE INTO tblLedgerDay (NickName, RecDate)
        SELECT NEW.NickName, NEW.RecDate WHERE NEW.NickName <> '';
    UPDATE tblLedgerDay SET Income = Income + IFNULL(NEW.Income, 0),
        Expense = Expense + IFNULL(NEW.Expense, 0), RowCount = RowCount + 1
        WHERE NEW.NickName <> '' AND NickName = NEW.NickName AND RecDate = NEW.RecDate;
END;

CREATE TRIGGER IF NOT EXISTS trgLedgerDayRemoved AFTER DELETE ON tblFinance
    WHEN OLD.RecDate IS NOT NULL BEGIN
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
END;

CREATE TRIGGER IF NOT EXISTS trgLedgerDayChanged
    AFTER UPDATE OF NickName, RecDate, Income, Expense ON tblFinance
    WHEN OLD.NickName IS NOT NEW.NickName OR OLD.RecDate IS NOT NEW.RecDate
        OR OLD.Income IS NOT NEW.Income OR OLD.Expense IS NOT NEW.Expense BEGIN
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
END;
)";

} // namespace

const SchemaSteps& glanceSchemaSteps()
{
    static const SchemaSteps steps = {
        {7, "the ledger's sums by day", QString::fromUtf8(dayTable)},
    };
    return steps;
}

} // namespace halvo
