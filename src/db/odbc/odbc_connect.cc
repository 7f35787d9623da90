// Opens ODBC sessions: a data source name with UID and PWD given apart, or a
// connection string with them appended; read-only access is asked for.
#include "db/odbc/odbc_connect.h"

#include "db/backends.h"
#include "db/odbc/odbc_api.h"
#include "db/odbc/odbc_diagnostic.h"
#include "db/odbc/odbc_sanitizer.h"
#include "db/odbc/odbc_session.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

// A value as a connection string attribute: in braces (a "}" inside doubled)
// when it holds a character that would end or split it, else as it is, since
// some drivers (psqlODBC for UID) keep braces as part of the value.
std::string AttributeValue(const std::string& value) {
  const bool plain = value.find_first_of(";{}=") == std::string::npos &&
                     (value.empty() || (value.front() != ' ' && value.back() != ' '));
  if (plain) return value;
  std::string braced = "{";
  for (const char c : value) {
    braced += c;
    if (c == '}') braced += '}';
  }
  return braced + "}";
}

SQLCHAR* Text(const std::string& text) {
  return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

OdbcDatabase DatabaseOf(SQLHDBC connection) {
  char name[128] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(connection, SQL_DBMS_NAME, name, sizeof name, &length))) {
    return OdbcDatabase::kOther;
  }
  return OdbcDatabaseNamed(name);
}

}  // namespace

std::string OdbcConnectionText(const std::string& connection, const std::string& login,
                               const std::string& password) {
  if (login.empty()) return connection;
  std::string text = connection;
  if (!text.empty() && text.back() != ';') text += ';';
  return text + "UID=" + AttributeValue(login) + ";PWD=" + AttributeValue(password);
}

int ConnectOdbc(const ConnectRequest& request, const std::string& connection,
                bool is_connection_string, std::unique_ptr<Session>* session) {
  PrepareOdbcForLeakCheck();
  SQLHENV environment = SQL_NULL_HENV;
  SQLHDBC handle = SQL_NULL_HDBC;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) {
    return kServiceNotResolved;
  }
  SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &handle))) {
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return kServiceNotResolved;
  }
  // A request only: drivers that do not know read-only access ignore it, and
  // OpenQuery refuses statements without a result set in any case.
  SQLSetConnectAttr(handle, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY),
                    0);

  SQLRETURN result;
  if (is_connection_string) {
    const std::string text = OdbcConnectionText(connection, request.login, request.password);
    result = SQLDriverConnect(handle, nullptr, Text(text), SQL_NTS, nullptr, 0, nullptr,
                              SQL_DRIVER_NOPROMPT);
  } else {
    result = SQLConnect(handle, Text(connection), SQL_NTS, Text(request.login), SQL_NTS,
                        Text(request.password), SQL_NTS);
  }
  if (!SQL_SUCCEEDED(result)) {
    const int status = OdbcConnectStatus(ReadOdbcDiagnostic(SQL_HANDLE_DBC, handle));
    SQLFreeHandle(SQL_HANDLE_DBC, handle);
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return status;
  }

  auto opened = std::make_unique<OdbcSession>(environment, handle, DatabaseOf(handle));
  if (opened->database() == OdbcDatabase::kPostgresql) {
    // psqlODBC ignores the access mode and runs every command of a text of
    // several; a read-only session makes the server refuse any change.
    const int status = opened->MakeReadOnly();
    if (status != 0) return status;
  }
  *session = std::move(opened);
  return 0;
}

}  // namespace kelvador::db
