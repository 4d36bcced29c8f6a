#pragma once
// The tables of the database file, as the delivered file holds them.

#include "core/result.h"

#include <QString>
#include <QStringList>

namespace halvo {

// The statements that create every table and index.
QString schemaScript();
// The names of the tables every database of ours holds.
QStringList tableNames();
// Creates a new database file, keyed with the password, holding every table and no row.
// An existing file is never touched: that is an error.
Status createDatabase(const QString& path, const QString& password);

} // namespace halvo
