#include "db/sqlite/sqlite_status.h"

#include <sqlite3.h>

#include "kelvador/status.h"

namespace kelvador::db {

int SqliteStatus(int result_code, std::string_view message) {
  switch (result_code & 0xff) {  // the primary code of an extended one
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
      return kServiceNotResolved;
    case SQLITE_ERROR:
      // SQLite tells missing names apart only in the message text; both
      // messages start the same way in every SQLite 3 release.
      if (message.starts_with("no such table")) return kTableNotFound;
      if (message.starts_with("no such column")) return kInvalidColumn;
      return kInvalidSqlStatement;
    default:
      return kInvalidSqlStatement;
  }
}

int SqliteStatus(sqlite3* db) {
  return SqliteStatus(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
}

}  // namespace kelvador::db
