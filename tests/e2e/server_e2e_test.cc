// Connect failures on the server routes, as operators read them in
// "dbConnect_Status": bad password, unknown or silent server, missing schema.
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/installation.h"

namespace kelvador::testing {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

TEST(ServerRoutes, ConnectFailuresReportTheirOracleStatus) {
  if (Environment("KELVADOR_TEST_PG_PORT").empty()) {
    GTEST_SKIP() << "no PostgreSQL test server (source scripts/test-servers.sh; start_test_servers)";
  }
  const std::string port = Environment("KELVADOR_TEST_PG_PORT");
  const std::string user = Environment("KELVADOR_TEST_PG_USER");
  const std::string password = Environment("KELVADOR_TEST_PG_PASSWORD");
  const std::string database = Environment("KELVADOR_TEST_PG_DATABASE");
  // NET8 holds at most 41 characters, so the cases that must reach the server
  // name the short database "postgres", which has no schema VTSYSTEM.
  const std::string dsn = Environment("KELVADOR_TEST_PG_DSN");
  struct Case {
    std::string name;
    std::string net8, login, pass;
    int status;
  };
  const Case cases[] = {
      {"native, wrong password", "postgresql://127.0.0.1:" + port + "/postgres", user, "wrong",
       -1017},
      {"odbc, wrong password", dsn, user, "wrong", -1017},
      {"native, unknown host", "postgresql://no-such-host.invalid/" + database, user, password,
       -12154},
      {"odbc, unknown data source", "NO_SUCH_DSN", user, password, -12154},
      {"native, nothing listens", "postgresql://127.0.0.1:1/" + database, user, password, -12541},
      {"native, no schema VTSYSTEM", "postgresql://127.0.0.1:" + port + "/postgres", user,
       password, -1435},
  };
  for (const auto& c : cases) {
    Installation installation;
    installation.SetSetting("NET8", c.net8);
    installation.SetSetting("LOGIN", c.login);
    installation.SetSetting("PASS", c.pass);
    installation.SetSetting("DB_SYSTEM", "TEST");
    const ProcessResult result = installation.RunKelvador({"ANY", "T1", "out.txt", "1"});
    EXPECT_EQ(result.exit_status, 0) << c.name;
    EXPECT_EQ(result.out, "dbConnect_Status: " + std::to_string(c.status) + "\n") << c.name;
  }
}

}  // namespace
}  // namespace kelvador::testing
