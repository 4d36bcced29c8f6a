#pragma once
// The CSV mappings the user has saved, by name: one per bank, chosen again for its next file.

#include "csv_mapping.h"
#include "data/connection.h"

namespace halvo {

Result<QStringList> mappingNames(const Connection& connection);
Result<CsvMapping> loadMapping(const Connection& connection, const QString& name);
// Saves the mapping under its name, replacing one saved before under the same name, with the
// account its lines are of (statement_accounts.h): an account of the mapping's own name when
// none is given.
Status saveMapping(const Connection& connection, const CsvMapping& mapping,
                   const QString& account = {});

} // namespace halvo
