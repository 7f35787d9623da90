#include "db/postgresql/postgresql_status.h"

#include "kelvador/status.h"

namespace kelvador::db {
namespace {

bool IsSqlStateChar(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

int PostgresqlStatus(std::string_view sqlstate) {
  if (sqlstate == "28P01" || sqlstate == "28000") return kInvalidLogin;
  if (sqlstate == "42P01") return kTableNotFound;
  if (sqlstate == "42703") return kInvalidColumn;
  if (sqlstate == "3F000") return kSchemaNotFound;
  return kInvalidSqlStatement;
}

std::string_view SqlStateInMessage(std::string_view error_message) {
  // Verbose messages put "SEVERITY:  SQLSTATE: " before the text; the severity
  // word may be translated by the server, the code never is.
  for (std::size_t at = error_message.find(":  "); at != std::string_view::npos;
       at = error_message.find(":  ", at + 1)) {
    const std::string_view code = error_message.substr(at + 3, 6);
    if (code.size() == 6 && code[5] == ':') {
      bool all_code_chars = true;
      for (int i = 0; i < 5; ++i) all_code_chars = all_code_chars && IsSqlStateChar(code[i]);
      if (all_code_chars) return code.substr(0, 5);
    }
  }
  return {};
}

int PostgresqlConnectStatus(std::string_view error_message) {
  const std::string_view sqlstate = SqlStateInMessage(error_message);
  if (!sqlstate.empty()) {
    // The server answered: a refused login, or it does not know what was asked
    // for (database, role, too many connections), which an operator fixes in
    // the service text like an unknown service.
    return sqlstate.substr(0, 2) == "28" ? kInvalidLogin : kServiceNotResolved;
  }
  // Failures found by libpq itself: it is not translated here because the
  // program never sets a message locale.
  if (Contains(error_message, "Connection refused") ||
      Contains(error_message, "No such file or directory")) {
    return kNoListener;  // nothing listens at the TCP address or Unix socket
  }
  return kServiceNotResolved;
}

}  // namespace kelvador::db
