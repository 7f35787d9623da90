#include "db/odbc/odbc_diagnostic.h"

namespace kelvador::db {

OdbcDiagnostic ReadOdbcDiagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  OdbcDiagnostic diagnostic;
  SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
  SQLCHAR message[SQL_MAX_MESSAGE_LENGTH] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT message_length = 0;
  const SQLRETURN result = SQLGetDiagRec(type, handle, 1, state, &native, message,
                                         sizeof message, &message_length);
  if (SQL_SUCCEEDED(result)) {
    diagnostic.sqlstate = reinterpret_cast<const char*>(state);
    diagnostic.native_error = native;
    diagnostic.message = reinterpret_cast<const char*>(message);
  }
  return diagnostic;
}

}  // namespace kelvador::db
