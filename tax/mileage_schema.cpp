#include "mileage_schema.h"

namespace halvo {

namespace {

// A trip names its property as the ledger does, by nickname. A rate the user typed is kept by
// tax year, so that it is asked for once. Lines 1b and 2 are kept by property and year: a
// property's use may change from one year to the next.
const char* const mileageTables = R"(
CREATE TABLE IF NOT EXISTS tblMileage (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    TripDate DATE, NickName TEXT COLLATE NOCASE, Purpose TEXT COLLATE NOCASE, Miles NUMBER);
CREATE INDEX IF NOT EXISTS idxMileageTripDate ON tblMileage(TripDate, NickName);
CREATE TABLE IF NOT EXISTS tblMileageRate (TaxYear INTEGER PRIMARY KEY, Rate CURRENCY NOT NULL);
CREATE TABLE IF NOT EXISTS tblRentalDays (NickName TEXT COLLATE NOCASE NOT NULL,
    TaxYear INTEGER NOT NULL, PropertyType INTEGER, FairRentalDays INTEGER,
    PersonalUseDays INTEGER, PRIMARY KEY (NickName, TaxYear));
)";

} // namespace

const SchemaSteps& mileageSchemaSteps()
{
    static const SchemaSteps steps = {
        {10, "the mileage log and the rental days", QString::fromUtf8(mileageTables)},
    };
    return steps;
}

} // namespace halvo
