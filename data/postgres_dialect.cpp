#include "postgres_dialect.h"

namespace halvo::detail {
// Placeholder until the translation lands.
QString postgresStatement(const QString& sql) { return sql; }
QString postgresSchema(const QString& sql) { return sql; }
QString postgresPrologue() { return {}; }
QString postgresEpilogue() { return {}; }
} // namespace halvo::detail
