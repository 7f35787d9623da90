#include "db/odbc/odbc_status.h"

#include <gtest/gtest.h>

#include "db/odbc/odbc_connect.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

// The Oracle cases are written from the Oracle driver's documented
// diagnostics: no Oracle server runs here.
TEST(OdbcStatus, MapsDiagnosticsByDatabase) {
  const struct {
    OdbcDiagnostic diagnostic;
    OdbcDatabase database;
    int want;
  } cases[] = {
      {{"42S02", 942, "[Oracle][ODBC][Ora]ORA-00942: table or view does not exist"},
       OdbcDatabase::kOracle, -942},
      {{"HY000", 1405, "[Oracle][ODBC][Ora]ORA-01405: fetched column value is NULL"},
       OdbcDatabase::kOracle, -1405},
      {{"HY010", 0, "[unixODBC][Driver Manager]Function sequence error"}, OdbcDatabase::kOracle,
       kInvalidSqlStatement},
      {{"42P01", 1, "ERROR: relation \"x\" does not exist"}, OdbcDatabase::kPostgresql,
       kTableNotFound},
      {{"42703", 1, "ERROR: column \"x\" does not exist"}, OdbcDatabase::kPostgresql,
       kInvalidColumn},
      {{"3F000", 1, "ERROR: schema \"x\" does not exist"}, OdbcDatabase::kPostgresql,
       kSchemaNotFound},
      {{"42S02", 208, "Invalid object name 'x'"}, OdbcDatabase::kOther, kTableNotFound},
      {{"42S22", 207, "Invalid column name 'x'"}, OdbcDatabase::kOther, kInvalidColumn},
      {{"28000", 18456, "Login failed"}, OdbcDatabase::kOther, kInvalidLogin},
      {{"HY000", 1, "[SQLite]no such table: x (1)"}, OdbcDatabase::kSqlite, kTableNotFound},
      {{"HY000", 1, "[SQLite]no such column: x (1)"}, OdbcDatabase::kSqlite, kInvalidColumn},
      {{"HY000", 1, "[SQLite]near \"x\": syntax error (1)"}, OdbcDatabase::kSqlite,
       kInvalidSqlStatement},
      {{"HY000", 1, "no such table: x"}, OdbcDatabase::kOther, kInvalidSqlStatement},
      {{"", 0, ""}, OdbcDatabase::kOther, kInvalidSqlStatement},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OdbcStatus(c.diagnostic, c.database), c.want) << c.diagnostic.message;
  }
}

TEST(OdbcConnectStatus, TellsLoginListenerAndUnknownService) {
  const struct {
    OdbcDiagnostic diagnostic;
    int want;
  } cases[] = {
      {{"28000", 1017, "[Oracle][ODBC][Ora]ORA-01017: invalid username/password; logon denied"},
       kInvalidLogin},
      {{"08004", 12154, "[Oracle][ODBC][Ora]ORA-12154: TNS:could not resolve the connect "
                        "identifier specified"},
       kServiceNotResolved},
      {{"08004", 12541, "[Oracle][ODBC][Ora]ORA-12541: TNS:no listener"}, kNoListener},
      {{"08001", 101, "connection to server at \"127.0.0.1\", port 5432 failed: FATAL:  password "
                      "authentication failed for user \"x\""},
       kInvalidLogin},
      {{"08001", 101, "connection to server at \"127.0.0.1\", port 1 failed: Connection refused"},
       kNoListener},
      {{"08001", 101, "could not translate host name \"x\" to address: Name or service not known"},
       kServiceNotResolved},
      {{"IM002", 0, "[unixODBC][Driver Manager]Data source name not found and no default driver "
                    "specified"},
       kServiceNotResolved},
      {{"HY000", 14, "[SQLite]connect failed"}, kServiceNotResolved},
      {{"", 0, ""}, kServiceNotResolved},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OdbcConnectStatus(c.diagnostic), c.want) << c.diagnostic.message;
  }
}

TEST(OdbcDatabaseNamed, ReadsDbmsNames) {
  EXPECT_EQ(OdbcDatabaseNamed("Oracle"), OdbcDatabase::kOracle);
  EXPECT_EQ(OdbcDatabaseNamed("PostgreSQL"), OdbcDatabase::kPostgresql);
  EXPECT_EQ(OdbcDatabaseNamed("SQLite"), OdbcDatabase::kSqlite);
  EXPECT_EQ(OdbcDatabaseNamed("Microsoft SQL Server"), OdbcDatabase::kOther);
}

TEST(OdbcConnectionText, AppendsBracedCredentialsOnlyWithALogin) {
  const struct {
    const char *connection, *login, *password, *want;
  } cases[] = {
      {"Driver=X;Server=h", "", "secret", "Driver=X;Server=h"},
      {"Driver=X;Server=h", "scott", "tiger", "Driver=X;Server=h;UID=scott;PWD=tiger"},
      {"Driver=X;", "scott", "", "Driver=X;UID=scott;PWD="},
      {"Driver=X", "scott", " x ", "Driver=X;UID=scott;PWD={ x }"},
      {"Driver=X", "a;b", "p}w;DSN=other", "Driver=X;UID={a;b};PWD={p}}w;DSN=other}"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OdbcConnectionText(c.connection, c.login, c.password), c.want) << c.connection;
  }
}

}  // namespace
}  // namespace kelvador::db
