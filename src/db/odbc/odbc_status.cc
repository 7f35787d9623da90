#include "db/odbc/odbc_status.h"

#include "kelvador/status.h"

namespace kelvador::db {
namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The number of the first "ORA-nnnnn" in an Oracle driver's message, else 0.
long OracleErrorNumber(std::string_view message) {
  for (std::size_t at = message.find("ORA-"); at != std::string_view::npos;
       at = message.find("ORA-", at + 1)) {
    long number = 0;
    std::size_t digits = 0;
    for (std::size_t i = at + 4; i < message.size() && message[i] >= '0' && message[i] <= '9';
         ++i, ++digits) {
      number = number * 10 + (message[i] - '0');
    }
    if (digits == 5 && number > 0) return number;
  }
  return 0;
}

int StatusBySqlState(std::string_view sqlstate) {
  if (sqlstate == "28000" || sqlstate == "28P01") return kInvalidLogin;
  if (sqlstate == "42S02" || sqlstate == "42P01") return kTableNotFound;
  if (sqlstate == "42S22" || sqlstate == "42703") return kInvalidColumn;
  if (sqlstate == "3F000") return kSchemaNotFound;
  return kInvalidSqlStatement;
}

}  // namespace

OdbcDatabase OdbcDatabaseNamed(std::string_view dbms_name) {
  if (StartsWithIgnoringCase(dbms_name, "oracle")) return OdbcDatabase::kOracle;
  if (StartsWithIgnoringCase(dbms_name, "postgresql")) return OdbcDatabase::kPostgresql;
  if (StartsWithIgnoringCase(dbms_name, "sqlite")) return OdbcDatabase::kSqlite;
  return OdbcDatabase::kOther;
}

int OdbcStatus(const OdbcDiagnostic& diagnostic, OdbcDatabase database) {
  if (database == OdbcDatabase::kOracle && diagnostic.native_error > 0) {
    return static_cast<int>(-diagnostic.native_error);
  }
  if (database == OdbcDatabase::kSqlite && diagnostic.sqlstate == "HY000") {
    // The SQLite driver reports every engine error as HY000; the engine's
    // message tells missing names apart, as in the native SQLite backend.
    if (Contains(diagnostic.message, "no such table")) return kTableNotFound;
    if (Contains(diagnostic.message, "no such column")) return kInvalidColumn;
  }
  return StatusBySqlState(diagnostic.sqlstate);
}

int OdbcConnectStatus(const OdbcDiagnostic& diagnostic) {
  const std::string& message = diagnostic.message;
  if (const long ora = OracleErrorNumber(message); ora != 0) return static_cast<int>(-ora);
  if (StatusBySqlState(diagnostic.sqlstate) == kInvalidLogin) return kInvalidLogin;
  // psqlODBC reports every failed connect as 08001 with libpq's message.
  if (Contains(message, "authentication failed")) return kInvalidLogin;
  if (Contains(message, "Connection refused") ||
      (Contains(message, "socket") && Contains(message, "No such file or directory"))) {
    return kNoListener;
  }
  return kServiceNotResolved;
}

}  // namespace kelvador::db
