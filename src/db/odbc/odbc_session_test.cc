// Runs the ODBC backend through psqlODBC against the throwaway PostgreSQL
// server and through the SQLite ODBC driver against its SQLite file, both set
// up by scripts/test-servers.sh; skips when its variables are not set.
#include "db/odbc/odbc_session.h"

#include <gtest/gtest.h>

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

struct Route {
  const char* name;
  bool postgresql;         // else SQLite
  bool connection_string;  // else a data source name
  const char* driver_or_dsn_variable;
};

// The PostgreSQL routes come first.
const Route kRoutes[] = {
    {"PostgresqlDsn", true, false, "KELVADOR_TEST_PG_DSN"},
    {"PostgresqlAnsiDsn", true, false, "KELVADOR_TEST_PG_ANSI_DSN"},
    {"PostgresqlConnectionString", true, true, "KELVADOR_TEST_ODBC_PG_DRIVER"},
    {"SqliteDsn", false, false, "KELVADOR_TEST_SQLITE_DSN"},
    {"SqliteConnectionString", false, true, "KELVADOR_TEST_ODBC_SQLITE_DRIVER"},
};

void PrintTo(const Route& route, std::ostream* out) { *out << route.name; }

class OdbcSessionTest : public ::testing::TestWithParam<Route> {
 protected:
  void SetUp() override {
    if (Env("ODBCINI").empty() || Env(GetParam().driver_or_dsn_variable).empty()) {
      GTEST_SKIP() << "no test data sources: run `source scripts/test-servers.sh; "
                      "start_test_servers`";
    }
    const Route& route = GetParam();
    const std::string name = Env(route.driver_or_dsn_variable);
    if (route.postgresql) {
      login_ = Env("KELVADOR_TEST_PG_USER");
      password_ = Env("KELVADOR_TEST_PG_PASSWORD");
      connection_ = route.connection_string
                        ? "Driver={" + name + "};Servername=127.0.0.1;Port=" +
                              Env("KELVADOR_TEST_PG_PORT") +
                              ";Database=" + Env("KELVADOR_TEST_PG_DATABASE") +
                              ";UseDeclareFetch=1;Fetch=1000"
                        : name;
    } else {
      connection_ = route.connection_string
                        ? "Driver=" + name + ";Database=" + Env("KELVADOR_TEST_SQLITE_DB") +
                              ";NoCreat=1"
                        : name;
    }
  }

  int Connect(const std::string& password) {
    session_.reset();
    return ConnectOdbc({login_, password, connection_}, connection_, GetParam().connection_string,
                       &session_);
  }

  void ConnectToVtsystem() {
    ASSERT_EQ(Connect(password_), 0);
    ASSERT_EQ(session_->SetCurrentSchema("VTSYSTEM"), 0);
  }

  int FetchAll(const std::string& sql, std::vector<std::string>* first_items) {
    return FetchFirstItems(*session_, sql, first_items);
  }

  std::string login_, password_, connection_;
  std::unique_ptr<Session> session_;
};

TEST_P(OdbcSessionTest, SchemaStepFollowsTheDatabase) {
  ASSERT_EQ(Connect(password_), 0);
  std::vector<std::string> items;
  if (GetParam().postgresql) {
    EXPECT_EQ(FetchAll("SELECT name FROM article", &items), kTableNotFound);
    EXPECT_EQ(session_->SetCurrentSchema("NO_SUCH_SCHEMA"), kSchemaNotFound);
  } else {
    EXPECT_EQ(session_->SetCurrentSchema("NO_SUCH_SCHEMA"), 0);  // without effect
  }
  EXPECT_EQ(session_->SetCurrentSchema("VTSYSTEM"), 0);
  items.clear();
  EXPECT_EQ(FetchAll("SELECT name FROM article WHERE art_no = 1", &items), kNoFurtherRow);
  EXPECT_EQ(items, std::vector<std::string>{"Schraube M4"});
}

TEST_P(OdbcSessionTest, RowsGoToSlotsWithNullAndUtf8) {
  ConnectToVtsystem();
  ExpectArticleRowsInSlots(*session_);
}

TEST_P(OdbcSessionTest, ItemsOver100BytesAreRefusedRowByRow) {
  ConnectToVtsystem();
  ExpectItemsOver100BytesRefusedRowByRow(*session_);
}

TEST_P(OdbcSessionTest, SelectListOf30ItemsAtMost) {
  ConnectToVtsystem();
  ExpectSelectListOf30ItemsAtMost(*session_);
}

TEST_P(OdbcSessionTest, StatementsThatChangeDataAreRefusedUnrun) {
  ConnectToVtsystem();
  const std::string statements[] = {
      "DELETE FROM article",
      "UPDATE article SET qty = 0",
      "SELECT art_no FROM article; DELETE FROM article",
      "CREATE TABLE made_here (x INTEGER)",
  };
  for (const auto& statement : statements) {
    std::vector<std::string> items;
    EXPECT_NE(FetchAll(statement, &items), kNoFurtherRow) << statement;
  }
  int item_count = 0;
  EXPECT_EQ(session_->OpenQuery("DELETE FROM article", &item_count), kNotAQuery);
  // Counted on a new connection, so nothing uncommitted could hide a change.
  ConnectToVtsystem();
  std::vector<std::string> items;
  EXPECT_EQ(FetchAll("SELECT count(*), sum(qty) FROM article", &items), kNoFurtherRow);
  EXPECT_EQ(items, std::vector<std::string>{"5"});
  items.clear();
  EXPECT_EQ(FetchAll("SELECT x FROM made_here", &items), kTableNotFound);
}

TEST_P(OdbcSessionTest, MissingTableOrColumn) {
  ConnectToVtsystem();
  std::vector<std::string> items;
  EXPECT_EQ(FetchAll("SELECT x FROM no_such_table", &items), kTableNotFound);
  EXPECT_EQ(FetchAll("SELECT no_such_column FROM article", &items), kInvalidColumn);
  // -900 from PostgreSQL; the SQLite driver prepares it as a statement
  // without result columns (-1003).
  EXPECT_LT(FetchAll("SELEKT 1", &items), 0);
}

TEST_P(OdbcSessionTest, ManyRowsArriveInOrderAcrossBatches) {
  ConnectToVtsystem();
  constexpr int kBatch = OdbcSession::kRowsPerFetch;
  for (const int count : {1, kBatch - 1, kBatch, 2 * kBatch + 1, 5000}) {
    std::vector<std::string> items;
    EXPECT_EQ(FetchAll("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                           std::to_string(count) + ") SELECT i FROM n ORDER BY i",
                       &items),
              kNoFurtherRow)
        << count;
    ASSERT_EQ(items.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) ASSERT_EQ(items[i], std::to_string(i + 1)) << count;
  }
  std::vector<std::string> items;
  EXPECT_EQ(FetchAll("SELECT art_no FROM article WHERE art_no > 99", &items), kNoFurtherRow);
  EXPECT_TRUE(items.empty());
}

INSTANTIATE_TEST_SUITE_P(Routes, OdbcSessionTest, ::testing::ValuesIn(kRoutes),
                         [](const auto& info) { return std::string(info.param.name); });

// Cases only a server has: logins and connections that can go away.
using OdbcPostgresqlTest = OdbcSessionTest;

TEST_P(OdbcPostgresqlTest, WrongPasswordIsRefused) {
  EXPECT_EQ(Connect("wrong"), kInvalidLogin);
  EXPECT_EQ(session_, nullptr);
}

TEST_P(OdbcPostgresqlTest, ServerGoingAwayEndsTheFetchWithAnError) {
  ConnectToVtsystem();
  std::vector<std::string> items;
  ASSERT_EQ(FetchAll("SELECT pg_backend_pid()", &items), kNoFurtherRow);
  const std::string pid = items.at(0);

  constexpr int kRows = 200000;
  int item_count = 0;
  ASSERT_EQ(session_->OpenQuery("SELECT g FROM generate_series(1, " + std::to_string(kRows) + ") g",
                                &item_count),
            0);
  RowSlots slots;
  ASSERT_EQ(session_->FetchRow(slots), 0);
  {
    // A second connection of the same role may end the first one's backend.
    std::unique_ptr<Session> other;
    ASSERT_EQ(ConnectOdbc({login_, password_, connection_}, connection_,
                          GetParam().connection_string, &other),
              0);
    std::vector<std::string> ended;
    std::swap(session_, other);
    EXPECT_EQ(FetchAll("SELECT pg_terminate_backend(" + pid + ")", &ended), kNoFurtherRow);
    std::swap(session_, other);
    EXPECT_EQ(ended, std::vector<std::string>{"1"});
  }
  int fetched = 1;
  int status = 0;
  while ((status = session_->FetchRow(slots)) == 0) {
    ++fetched;
    ASSERT_EQ(slots.Slot(0), std::to_string(fetched));
  }
  EXPECT_LT(status, 0);
  EXPECT_LT(fetched, kRows);
}

INSTANTIATE_TEST_SUITE_P(Routes, OdbcPostgresqlTest, ::testing::ValuesIn(kRoutes, kRoutes + 3),
                         [](const auto& info) { return std::string(info.param.name); });

class OdbcConnectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (Env("ODBCINI").empty() || Env("KELVADOR_TEST_PG_PORT").empty()) {
      GTEST_SKIP() << "no test data sources: run `source scripts/test-servers.sh; "
                      "start_test_servers`";
    }
  }
};

TEST_F(OdbcConnectTest, UnreachableServicesReportOracleStatuses) {
  const std::string driver = "Driver={" + Env("KELVADOR_TEST_ODBC_PG_DRIVER") + "};";
  const struct {
    std::string connection;
    bool is_connection_string;
    int want;
  } cases[] = {
      {"no_such_dsn", false, kServiceNotResolved},
      {"DSN=no_such_dsn", true, kServiceNotResolved},
      {"Driver={No Such Driver};Database=x", true, kServiceNotResolved},
      {driver + "Servername=nohost.invalid;Port=5432;Database=x", true, kServiceNotResolved},
      {driver + "Servername=127.0.0.1;Port=1;Database=x", true, kNoListener},
      {"Driver=" + Env("KELVADOR_TEST_ODBC_SQLITE_DRIVER") + ";Database=/nonexistent/x.db;NoCreat=1",
       true, kServiceNotResolved},
  };
  for (const auto& c : cases) {
    std::unique_ptr<Session> session;
    EXPECT_EQ(ConnectOdbc({"someone", "secret", c.connection}, c.connection,
                          c.is_connection_string, &session),
              c.want)
        << c.connection;
    EXPECT_EQ(session, nullptr);
  }
}

}  // namespace
}  // namespace kelvador::db
