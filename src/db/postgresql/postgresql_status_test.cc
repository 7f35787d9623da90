#include "db/postgresql/postgresql_status.h"

#include <gtest/gtest.h>

#include "kelvador/status.h"

namespace kelvador::db {
namespace {

TEST(PostgresqlStatus, MapsSqlStatesToOracleStatuses) {
  const struct {
    const char* sqlstate;
    int want;
  } cases[] = {
      {"28P01", kInvalidLogin},  {"28000", kInvalidLogin},       {"42P01", kTableNotFound},
      {"42703", kInvalidColumn}, {"3F000", kSchemaNotFound},     {"42601", kInvalidSqlStatement},
      {"57P01", kInvalidSqlStatement}, {"", kInvalidSqlStatement},
  };
  for (const auto& c : cases) EXPECT_EQ(PostgresqlStatus(c.sqlstate), c.want) << c.sqlstate;
}

TEST(PostgresqlConnectStatus, ReadsServerCodeOrLibpqFailure) {
  const struct {
    const char* message;
    int want;
  } cases[] = {
      {"connection to server at \"127.0.0.1\", port 5432 failed: FATAL:  28P01: password "
       "authentication failed for user \"x\"\nLOCATION:  auth_failed, auth.c:326\n",
       kInvalidLogin},
      // A server with translated messages: the code is still there.
      {"connection to server at \"h\", port 5432 failed: FATAL:  28000: Rolle »x« existiert nicht",
       kInvalidLogin},
      {"connection to server at \"h\", port 5432 failed: FATAL:  3D000: database \"x\" does not "
       "exist",
       kServiceNotResolved},
      {"connection to server at \"127.0.0.1\", port 1 failed: Connection refused\n\tIs the server "
       "running on that host and accepting TCP/IP connections?\n",
       kNoListener},
      {"connection to server on socket \"/tmp/x/.s.PGSQL.5432\" failed: No such file or "
       "directory\n",
       kNoListener},
      {"could not translate host name \"nohost.invalid\" to address: Name or service not known\n",
       kServiceNotResolved},
      {"invalid URI query parameter: \"x\"\n", kServiceNotResolved},
  };
  for (const auto& c : cases) EXPECT_EQ(PostgresqlConnectStatus(c.message), c.want) << c.message;
}

TEST(SqlStateInMessage, IgnoresColonsThatAreNoCode) {
  EXPECT_EQ(SqlStateInMessage("failed: FATAL:  28P01: password"), "28P01");
  EXPECT_EQ(SqlStateInMessage("ERROR:  syntax error at or near \"x\""), "");
  EXPECT_EQ(SqlStateInMessage("x:  ABCDE"), "");
}

}  // namespace
}  // namespace kelvador::db
