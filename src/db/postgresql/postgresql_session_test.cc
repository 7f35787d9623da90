// Runs the PostgreSQL backend against the throwaway server of
// scripts/test-servers.sh; skips when its variables are not set.
#include "db/postgresql/postgresql_session.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "db/backends.h"
#include "db/session_test_support.h"
#include "kelvador/row_slots.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

class PostgresqlSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uri_ = Env("KELVADOR_TEST_PG_URI");
    user_ = Env("KELVADOR_TEST_PG_USER");
    password_ = Env("KELVADOR_TEST_PG_PASSWORD");
    if (uri_.empty() || user_.empty()) {
      GTEST_SKIP() << "no test server: run `source scripts/test-servers.sh; start_test_servers`";
    }
  }

  int Connect(const std::string& login, const std::string& password, const std::string& service) {
    session_.reset();
    return ConnectPostgresql({login, password, service}, &session_);
  }

  // Connected with the test role and the schema VTSYSTEM current.
  void ConnectToVtsystem() {
    ASSERT_EQ(Connect(user_, password_, uri_), 0);
    ASSERT_EQ(session_->SetCurrentSchema("VTSYSTEM"), 0);
  }

  // Runs `sql` on a second connection as the superuser over the Unix socket
  // and returns the first value of its result.
  static std::string AdminQuery(const std::string& sql) {
    const std::string conninfo = "host=" + Env("KELVADOR_TEST_PG_SOCKET_DIR") +
                                 " port=" + Env("KELVADOR_TEST_PG_PORT") + " user=postgres dbname=" +
                                 Env("KELVADOR_TEST_PG_DATABASE");
    PGconn* connection = PQconnectdb(conninfo.c_str());
    EXPECT_EQ(PQstatus(connection), CONNECTION_OK) << PQerrorMessage(connection);
    PGresult* result = PQexec(connection, sql.c_str());
    EXPECT_TRUE(PQresultStatus(result) == PGRES_TUPLES_OK ||
                PQresultStatus(result) == PGRES_COMMAND_OK)
        << sql << ": " << PQresultErrorMessage(result);
    std::string value;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0) {
      value = PQgetvalue(result, 0, 0);
    }
    PQclear(result);
    PQfinish(connection);
    return value;
  }

  int FetchAll(const std::string& sql, std::vector<std::string>* first_items) {
    return FetchFirstItems(*session_, sql, first_items);
  }

  std::string uri_, user_, password_;
  std::unique_ptr<Session> session_;
};

TEST_F(PostgresqlSessionTest, ConnectReportsOracleStatuses) {
  const std::string port = Env("KELVADOR_TEST_PG_PORT");
  const std::string database = Env("KELVADOR_TEST_PG_DATABASE");
  const struct {
    std::string login, password, service;
    int want;
  } cases[] = {
      {user_, password_, uri_, 0},
      {user_, password_, "postgres://127.0.0.1:" + port + "/" + database, 0},
      // LOGIN and PASS win over a user named inside the URI.
      {user_, password_, "postgresql://someone@127.0.0.1:" + port + "/" + database, 0},
      {user_, "wrong", uri_, kInvalidLogin},
      {"nobody", password_, uri_, kInvalidLogin},
      {user_, password_, "postgresql://127.0.0.1:" + port + "/no_such_db", kServiceNotResolved},
      {user_, password_, "postgresql://nohost.invalid/" + database, kServiceNotResolved},
      {user_, password_, "postgresql://127.0.0.1:1/" + database, kNoListener},
      {user_, password_, "postgresql:///" + database + "?host=/nonexistent", kNoListener},
      {user_, password_, "postgresql://127.0.0.1/x?nonsense=1", kServiceNotResolved},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Connect(c.login, c.password, c.service), c.want) << c.service << " as " << c.login;
    EXPECT_EQ(session_ != nullptr, c.want == 0) << c.service;
  }
}

TEST_F(PostgresqlSessionTest, PasswordWithUriCharactersIsPassedAsItIs) {
  const std::string odd_password = "p@ss/w:rd?x=1&y 'q\"";
  AdminQuery("DROP ROLE IF EXISTS kelvador_odd");
  AdminQuery("CREATE ROLE kelvador_odd LOGIN PASSWORD 'p@ss/w:rd?x=1&y ''q\"'");
  EXPECT_EQ(Connect("kelvador_odd", odd_password, uri_), 0);
  EXPECT_EQ(Connect("kelvador_odd", "p@ss", uri_), kInvalidLogin);
  session_.reset();
  AdminQuery("DROP ROLE kelvador_odd");
}

TEST_F(PostgresqlSessionTest, SchemaStepSetsSearchPathOrFails) {
  ASSERT_EQ(Connect(user_, password_, uri_), 0);
  std::vector<std::string> items;
  EXPECT_EQ(FetchAll("SELECT name FROM article WHERE art_no = 1", &items), kTableNotFound);
  EXPECT_EQ(session_->SetCurrentSchema("NO_SUCH_SCHEMA"), kSchemaNotFound);
  EXPECT_EQ(session_->SetCurrentSchema("VtSystem"), 0);
  EXPECT_EQ(FetchAll("SELECT name FROM article WHERE art_no = 1", &items), kNoFurtherRow);
  EXPECT_EQ(items, std::vector<std::string>{"Schraube M4"});
  // A failed step leaves the path that was set.
  EXPECT_EQ(session_->SetCurrentSchema("x\"; DROP TABLE article; --"), kSchemaNotFound);
  items.clear();
  EXPECT_EQ(FetchAll("SELECT name FROM article WHERE art_no = 2", &items), kNoFurtherRow);
  EXPECT_EQ(items, std::vector<std::string>{"Mutter M4"});
}

TEST_F(PostgresqlSessionTest, RowsGoToSlotsWithNullAndUtf8) {
  ConnectToVtsystem();
  ExpectArticleRowsInSlots(*session_);
}

TEST_F(PostgresqlSessionTest, ItemsOver100BytesAreRefusedRowByRow) {
  ConnectToVtsystem();
  ExpectItemsOver100BytesRefusedRowByRow(*session_);
}

TEST_F(PostgresqlSessionTest, SelectListOf30ItemsAtMost) {
  ConnectToVtsystem();
  ExpectSelectListOf30ItemsAtMost(*session_);
}

TEST_F(PostgresqlSessionTest, StatementsThatChangeDataAreRefusedUnrun) {
  ConnectToVtsystem();
  const std::string statements[] = {
      "DELETE FROM article",
      "UPDATE article SET qty = 0 RETURNING art_no",
      "WITH gone AS (DELETE FROM article RETURNING art_no) SELECT art_no FROM gone",
      "SELECT art_no FROM article; DELETE FROM article",
      "CREATE TABLE made_here (x INTEGER)",
      "SELECT nextval('no_such_sequence')",
  };
  for (const auto& statement : statements) {
    int item_count = 0;
    const int status = session_->OpenQuery(statement, &item_count);
    EXPECT_LT(status, 0) << statement;
    if (status == 0) session_->CloseQuery();
  }
  int item_count = 0;
  EXPECT_EQ(session_->OpenQuery("DELETE FROM article", &item_count), kNotAQuery);
  EXPECT_EQ(AdminQuery("SELECT count(*) FROM vtsystem.article"), "5");
  EXPECT_EQ(AdminQuery("SELECT count(*) FROM pg_tables WHERE tablename = 'made_here'"), "0");
  // The session is still usable after the refusals.
  std::vector<std::string> items;
  EXPECT_EQ(FetchAll("SELECT count(*) FROM article", &items), kNoFurtherRow);
  EXPECT_EQ(items, std::vector<std::string>{"5"});
}

TEST_F(PostgresqlSessionTest, MissingTableOrColumnAndSyntaxErrors) {
  ConnectToVtsystem();
  const struct {
    const char* statement;
    int want;
  } cases[] = {
      {"SELECT x FROM no_such_table", kTableNotFound},
      {"SELECT no_such_column FROM article", kInvalidColumn},
      {"SELEKT 1", kInvalidSqlStatement},
      {"SELECT 1/0", kInvalidSqlStatement},  // fails when the rows are made
  };
  for (const auto& c : cases) {
    std::vector<std::string> items;
    EXPECT_EQ(FetchAll(c.statement, &items), c.want) << c.statement;
  }
}

TEST_F(PostgresqlSessionTest, ManyRowsArriveInOrder) {
  ConnectToVtsystem();
  for (const int count : {0, 1, 2, 10001}) {
    std::vector<std::string> items;
    EXPECT_EQ(FetchAll("SELECT g FROM generate_series(1, " + std::to_string(count) + ") g", &items),
              kNoFurtherRow)
        << count;
    ASSERT_EQ(items.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) ASSERT_EQ(items[i], std::to_string(i + 1)) << count;
  }
}

TEST_F(PostgresqlSessionTest, ServerGoingAwayEndsTheFetchWithAnError) {
  ConnectToVtsystem();
  std::vector<std::string> items;
  ASSERT_EQ(FetchAll("SELECT pg_backend_pid()", &items), kNoFurtherRow);
  const std::string pid = items.at(0);

  // Far more rows than the socket buffers hold, so most are still to come.
  constexpr int kRows = 1000000;
  int item_count = 0;
  ASSERT_EQ(session_->OpenQuery("SELECT g FROM generate_series(1, " + std::to_string(kRows) + ") g",
                                &item_count),
            0);
  RowSlots slots;
  ASSERT_EQ(session_->FetchRow(slots), 0);
  EXPECT_EQ(AdminQuery("SELECT pg_terminate_backend(" + pid + ")"), "t");
  int fetched = 1;
  int status = 0;
  while ((status = session_->FetchRow(slots)) == 0) {
    ++fetched;
    ASSERT_EQ(slots.Slot(0), std::to_string(fetched));
  }
  EXPECT_LT(status, 0);
  EXPECT_LT(fetched, kRows);
  EXPECT_NE(session_->CloseQuery(), 0);
}

}  // namespace
}  // namespace kelvador::db
