#ifndef KELVADOR_DB_ODBC_ODBC_DIAGNOSTIC_H_
#define KELVADOR_DB_ODBC_ODBC_DIAGNOSTIC_H_

#include "db/odbc/odbc_api.h"
#include "db/odbc/odbc_status.h"

namespace kelvador::db {

// The first diagnostic record of `handle` (of handle type `type`); empty
// fields when the call left none.
OdbcDiagnostic ReadOdbcDiagnostic(SQLSMALLINT type, SQLHANDLE handle);

}  // namespace kelvador::db

#endif  // KELVADOR_DB_ODBC_ODBC_DIAGNOSTIC_H_
