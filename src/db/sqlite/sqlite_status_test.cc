#include "db/sqlite/sqlite_status.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string_view>

#include "kelvador/status.h"

namespace kelvador::db {
namespace {

struct StatusCase {
  int result_code;
  std::string_view message;
  int want;
};

TEST(SqliteStatus, MapsCodesAndMessagesToOracleStatuses) {
  const StatusCase cases[] = {
      {SQLITE_ERROR, "no such table: main.kunden", kTableNotFound},
      {SQLITE_ERROR, "no such column: nme", kInvalidColumn},
      {SQLITE_ERROR, "near \"SELCT\": syntax error", kInvalidSqlStatement},
      {SQLITE_ERROR, "integer overflow", kInvalidSqlStatement},
      {SQLITE_ERROR, "no such function: foo", kInvalidSqlStatement},
      {SQLITE_CANTOPEN, "unable to open database file", kServiceNotResolved},
      {SQLITE_CANTOPEN_ISDIR, "unable to open database file", kServiceNotResolved},
      {SQLITE_NOTADB, "file is not a database", kServiceNotResolved},
      {SQLITE_BUSY, "database is locked", kInvalidSqlStatement},
      {SQLITE_READONLY, "attempt to write a readonly database", kInvalidSqlStatement},
      {SQLITE_CORRUPT, "database disk image is malformed", kInvalidSqlStatement},
      {SQLITE_NOMEM, "out of memory", kInvalidSqlStatement},
      // The message decides only for plain SQL errors.
      {SQLITE_BUSY, "no such table: t", kInvalidSqlStatement},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SqliteStatus(c.result_code, c.message), c.want)
        << "code " << c.result_code << " '" << c.message << "'";
  }
}

}  // namespace
}  // namespace kelvador::db
