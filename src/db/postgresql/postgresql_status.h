#ifndef KELVADOR_DB_POSTGRESQL_POSTGRESQL_STATUS_H_
#define KELVADOR_DB_POSTGRESQL_POSTGRESQL_STATUS_H_

#include <string_view>

namespace kelvador::db {

// The Oracle-style status for a PostgreSQL SQLSTATE reported by a statement:
// -1017 bad login, -942 undefined table, -904 undefined column, -1435 invalid
// schema, -900 anything else (also an empty SQLSTATE).
int PostgresqlStatus(std::string_view sqlstate);

// The Oracle-style status for a failed connect, read from libpq's error text
// produced with verbose error messages (which carry the server's SQLSTATE):
// -1017 bad login, -12541 nothing listens at the address, -12154 otherwise
// (unknown host, service or database, malformed URI, ...).
int PostgresqlConnectStatus(std::string_view error_message);

// The SQLSTATE inside a verbose libpq error text ("FATAL:  28P01: ..."), or
// the empty text when the message carries none (a failure found by libpq).
std::string_view SqlStateInMessage(std::string_view error_message);

}  // namespace kelvador::db

#endif  // KELVADOR_DB_POSTGRESQL_POSTGRESQL_STATUS_H_
