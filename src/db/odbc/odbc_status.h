#ifndef KELVADOR_DB_ODBC_ODBC_STATUS_H_
#define KELVADOR_DB_ODBC_ODBC_STATUS_H_

#include <string>
#include <string_view>

namespace kelvador::db {

// The database behind an ODBC connection, told by the driver's SQL_DBMS_NAME.
enum class OdbcDatabase { kOther, kOracle, kPostgresql, kSqlite };

OdbcDatabase OdbcDatabaseNamed(std::string_view dbms_name);

// The first diagnostic record of a failed ODBC call.
struct OdbcDiagnostic {
  std::string sqlstate;   // five characters, empty when the call left none
  long native_error = 0;  // the driver's own error number
  std::string message;
};

// The Oracle-style status of a failed call on a connected session: the negated
// native error number from Oracle (its ORA number); from the others by
// SQLSTATE: -1017 bad login, -942 undefined table, -904 undefined column,
// -1435 invalid schema, -900 anything else.
int OdbcStatus(const OdbcDiagnostic& diagnostic, OdbcDatabase database);

// The Oracle-style status of a failed connect, before the database is known:
// an Oracle driver's "ORA-nnnnn" negated; -1017 refused login; -12541 nothing
// listens at the address; -12154 otherwise (unknown data source or driver,
// unknown host, ...).
int OdbcConnectStatus(const OdbcDiagnostic& diagnostic);

}  // namespace kelvador::db

#endif  // KELVADOR_DB_ODBC_ODBC_STATUS_H_
