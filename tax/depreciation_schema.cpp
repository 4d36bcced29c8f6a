#include "depreciation_schema.h"

namespace halvo {

namespace {

// The basis is what the row holds: the cost, what was added to it, and the land's share, which
// is never depreciated. The class is its name as the asset window offers it.
const char* const assetTable = R"(
CREATE TABLE IF NOT EXISTS tblAsset (ID INTEGER PRIMARY KEY AUTOINCREMENT,
    NickName TEXT COLLATE NOCASE, Description TEXT COLLATE NOCASE,
    Cost CURRENCY DEFAULT 0, Additions CURRENCY DEFAULT 0, Land CURRENCY DEFAULT 0,
    InService DATE, AssetClass TEXT COLLATE NOCASE, Disposed DATE);
CREATE INDEX IF NOT EXISTS idxAssetNickName ON tblAsset(NickName, InService);
)";

} // namespace

const SchemaSteps& depreciationSchemaSteps()
{
    static const SchemaSteps steps = {
        {8, "the depreciable assets' table", QString::fromUtf8(assetTable)},
    };
    return steps;
}

} // namespace halvo
