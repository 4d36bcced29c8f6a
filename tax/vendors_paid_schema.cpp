#include "vendors_paid_schema.h"

namespace halvo {

const SchemaSteps& vendorsPaidSchemaSteps() {
    // A payee is named as the ledger names it, so the name ignores letter case as the ledger's
    // Payee does: one tick a payee and year, whatever the spelling.
    static const SchemaSteps steps = {
        {9, "the vendors paid's table",
         QStringLiteral("CREATE TABLE IF NOT EXISTS tblNo1099 (ID INTEGER PRIMARY KEY "
                        "AUTOINCREMENT, TaxYear INTEGER NOT NULL, Payee TEXT COLLATE NOCASE NOT "
                        "NULL, UNIQUE (TaxYear, Payee));")},
    };
    return steps;
}

} // namespace halvo
