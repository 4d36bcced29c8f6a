#pragma once
// Inside the data layer: the engine of shared books on a PostgreSQL server, through libpq.

#include "engine.h"

#include <QHash>
#include <QString>
#include <memory>

namespace halvo::detail {

// Opens a session of its own on the server and brings the books there up to date with the
// program's schema (a database without books is given them). The password is given apart from
// the connection text and never kept.
Result<std::shared_ptr<Engine>> openServerEngine(const QString& conninfo, const QString& password);

// The names of the books' tables and columns as the program spells them, by their lower-case
// form: the server folds the names it is given to lower case and hands them back so.
const QHash<QString, QString>& spelledNames();

} // namespace halvo::detail
