#pragma once
// Inside the data layer: the file's dialect as a PostgreSQL server takes it.

#include <QString>

namespace halvo::detail {

QString postgresStatement(const QString& sql);
QString postgresSchema(const QString& sql);
QString postgresPrologue();
QString postgresEpilogue();

} // namespace halvo::detail
