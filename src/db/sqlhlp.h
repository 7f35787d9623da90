#ifndef KELVADOR_DB_SQLHLP_H_
#define KELVADOR_DB_SQLHLP_H_

#include <memory>
#include <string>
#include <string_view>

#include "db/session.h"

namespace kelvador {

// Opens the session named by `service` (chosen by its form: "sqlite:",
// "postgresql://", "postgres://", "odbc:", else an ODBC data source name) and
// makes `schema` current. Returns 0 with `*session` set, else the status of the
// connect or of the schema step (the session is then dropped).
int dbConnect(const std::string& login, const std::string& password, const std::string& service,
              std::string_view schema, std::unique_ptr<db::Session>* session);

// The schema statement sent to databases that understand it (Oracle).
std::string SchemaStatement(std::string_view schema);

// The schema name as PostgreSQL knows it: unquoted names fold to lower case.
std::string PostgresqlSchemaName(std::string_view schema);

// A PostgreSQL query that makes the schema named by the parameter `placeholder`
// ("$1" for libpq, "?" for ODBC) the search path; it returns one row when the
// schema exists and none when it does not.
std::string PostgresqlSetSchemaQuery(std::string_view placeholder);

}  // namespace kelvador

#endif  // KELVADOR_DB_SQLHLP_H_
