#include "rent_roll_schema.h"

namespace halvo {

namespace {

// A payment keeps its ledger row's date and amount beside it, so that the roll reads this small
// table alone and not a page of the ledger for every payment; the ledger's own triggers keep them
// the row's, and a row deleted takes its payment along.
const char* const rentTables = R"(
CREATE TABLE IF NOT EXISTS tblRentTerms (TenantID INTEGER PRIMARY KEY,
    DueDay INTEGER NOT NULL DEFAULT 1, GraceDays INTEGER NOT NULL DEFAULT 0,
    LateFee TEXT NOT NULL DEFAULT 'None', Fee CURRENCY DEFAULT 0, Cap CURRENCY DEFAULT 0,
    EndDate DATE);
CREATE TABLE IF NOT EXISTS tblRentChange (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    TenantID INTEGER NOT NULL, FromDate DATE NOT NULL, RentBefore CURRENCY NOT NULL,
    UNIQUE (TenantID, FromDate));
CREATE TABLE IF NOT EXISTS tblRentPayment (FinanceID INTEGER PRIMARY KEY,
    TenantID INTEGER NOT NULL, RecDate DATE, Amount CURRENCY);
CREATE INDEX IF NOT EXISTS idxRentPaymentTenant ON tblRentPayment(TenantID, RecDate, Amount);
CREATE TRIGGER IF NOT EXISTS trgRentPaymentChanged AFTER UPDATE OF RecDate, Income
    ON tblFinance BEGIN UPDATE tblRentPayment SET RecDate = NEW.RecDate, Amount = NEW.Income
    WHERE FinanceID = NEW.ID; END;
CREATE TRIGGER IF NOT EXISTS trgRentPaymentDeleted AFTER DELETE ON tblFinance
    BEGIN DELETE FROM tblRentPayment WHERE FinanceID = OLD.ID; END;
CREATE TABLE IF NOT EXISTS tblDeposit (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    TenantID INTEGER NOT NULL, EventDate DATE NOT NULL, Kind TEXT NOT NULL,
    Amount CURRENCY NOT NULL, Reason TEXT, FinanceID INTEGER);
)";

} // namespace

const SchemaSteps& rentRollSchemaSteps()
{
    static const SchemaSteps steps = {
        {5, "the rent roll's tables", QString::fromUtf8(rentTables)},
    };
    return steps;
}

} // namespace halvo
