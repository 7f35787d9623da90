// SQLite reached natively through "sqlite:PATH".
#include <sqlite3.h>

#include <stdexcept>

#include "support/routes.h"

namespace kelvador::testing {
namespace {

class SqliteRoute : public Route {
 public:
  ~SqliteRoute() override { sqlite3_close(db_); }
  std::string name() const override { return "sqlite"; }
  std::string Unavailable() const override { return {}; }

  std::map<std::string, std::string> Prepare(Installation& installation,
                                             const std::string& script) override {
    const std::string path = installation.files() + "/test.db";
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("sqlite open");
    Exec(script);
    installation.SetSetting("NET8", "sqlite:../../Files/test.db");
    installation.SetSetting("LOGIN", "kelvador");
    installation.SetSetting("PASS", "secret");
    installation.SetSetting("DB_SYSTEM", "TEST");
    return {};
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

  sqlite3* db_ = nullptr;
};

}  // namespace

std::unique_ptr<Route> MakeSqliteRoute() { return std::make_unique<SqliteRoute>(); }

}  // namespace kelvador::testing
