#include "schedule_e_schema.h"

namespace halvo {

const SchemaSteps& scheduleESchemaSteps()
{
    static const SchemaSteps steps = {
        {4, "the tax year's table",
         QStringLiteral("CREATE TABLE IF NOT EXISTS tblCategoryLine (ID INTEGER PRIMARY KEY "
                        "AUTOINCREMENT, Kind TEXT NOT NULL, Category TEXT NOT NULL, "
                        "Line INTEGER NOT NULL, UNIQUE (Kind, Category));")},
    };
    return steps;
}

} // namespace halvo
