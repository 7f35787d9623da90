// SQLite reached natively through "sqlite:PATH", or through ODBC (the SQLite3
// ODBC driver) by a data source name in an installation-local odbc.ini.
#include <sqlite3.h>

#include <cstdlib>
#include <stdexcept>

#include "support/routes.h"

namespace kelvador::testing {
namespace {

class SqliteRoute : public Route {
 public:
  explicit SqliteRoute(bool through_odbc) : through_odbc_(through_odbc) {}
  ~SqliteRoute() override { sqlite3_close(db_); }
  std::string name() const override { return through_odbc_ ? "odbc-sqlite" : "sqlite"; }

  std::string Unavailable() const override {
    if (through_odbc_ && std::getenv("KELVADOR_TEST_ODBC_SQLITE_DRIVER") == nullptr) {
      return "no ODBC test drivers (source scripts/test-servers.sh; start_test_servers)";
    }
    return {};
  }

  std::map<std::string, std::string> Prepare(Installation& installation,
                                             const std::string& script) override {
    const std::string path = installation.files() + "/test.db";
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("sqlite open");
    Exec(script);
    std::map<std::string, std::string> environment;
    if (through_odbc_) {
      const std::string odbc_ini = installation.root() + "/odbc.ini";
      WriteWholeFile(odbc_ini, "[KTEST]\nDriver=" +
                                   std::string(std::getenv("KELVADOR_TEST_ODBC_SQLITE_DRIVER")) +
                                   "\nDatabase=" + path + "\nNoCreat=1\n");
      environment["ODBCINI"] = odbc_ini;
      installation.SetSetting("NET8", "KTEST");
    } else {
      installation.SetSetting("NET8", "sqlite:../../Files/test.db");
    }
    installation.SetSetting("LOGIN", "kelvador");
    installation.SetSetting("PASS", "secret");
    installation.SetSetting("DB_SYSTEM", "TEST");
    return environment;
  }

  std::string QueryScalar(const std::string& sql) override {
    sqlite3_stmt* statement = nullptr;
    std::string value;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
      const unsigned char* text = sqlite3_column_text(statement, 0);
      if (text != nullptr) value = reinterpret_cast<const char*>(text);
    }
    sqlite3_finalize(statement);
    return value;
  }

 private:
  void Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      const std::string message = error != nullptr ? error : "?";
      sqlite3_free(error);
      throw std::runtime_error("sqlite script: " + message);
    }
  }

  bool through_odbc_;
  sqlite3* db_ = nullptr;
};

}  // namespace

std::unique_ptr<Route> MakeSqliteRoute(bool through_odbc) {
  return std::make_unique<SqliteRoute>(through_odbc);
}

}  // namespace kelvador::testing
