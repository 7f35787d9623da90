// PostgreSQL reached natively through a libpq URI, or through ODBC (psqlODBC)
// by a data source name. Each Prepare makes a fresh database on the test
// server started by scripts/test-servers.sh, with the tables in schema vtsystem.
#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "support/routes.h"

namespace kelvador::testing {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// A connection as the server's superuser over its Unix socket.
PGconn* ConnectAsSuperuser(const std::string& database) {
  const char* keys[] = {"host", "port", "user", "dbname", nullptr};
  const std::string host = Environment("KELVADOR_TEST_PG_SOCKET_DIR");
  const std::string port = Environment("KELVADOR_TEST_PG_PORT");
  const char* values[] = {host.c_str(), port.c_str(), "postgres", database.c_str(), nullptr};
  PGconn* connection = PQconnectdbParams(keys, values, 0);
  if (PQstatus(connection) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(connection);
    PQfinish(connection);
    throw std::runtime_error("postgres connect: " + message);
  }
  return connection;
}

void Exec(PGconn* connection, const std::string& sql) {
  PGresult* result = PQexec(connection, sql.c_str());
  const ExecStatusType status = PQresultStatus(result);
  PQclear(result);
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw std::runtime_error("postgres: " + std::string(PQerrorMessage(connection)) + sql);
  }
}

class PostgresqlRoute : public Route {
 public:
  explicit PostgresqlRoute(bool through_odbc) : through_odbc_(through_odbc) {}

  ~PostgresqlRoute() override {
    if (connection_ != nullptr) PQfinish(connection_);
    if (database_.empty()) return;
    try {
      PGconn* admin = ConnectAsSuperuser("postgres");
      Exec(admin, "DROP DATABASE IF EXISTS " + database_ + " WITH (FORCE)");
      PQfinish(admin);
    } catch (const std::exception&) {
      // The server may be gone already; its folder is removed with it.
    }
  }

  std::string name() const override { return through_odbc_ ? "odbc-postgresql" : "postgresql"; }

  std::string Unavailable() const override {
    if (Environment("KELVADOR_TEST_PG_SOCKET_DIR").empty()) {
      return "no PostgreSQL test server (source scripts/test-servers.sh; start_test_servers)";
    }
    return {};
  }

  std::map<std::string, std::string> Prepare(Installation& installation,
                                             const std::string& script) override {
    static std::atomic<int> counter{0};
    // Short: the service text, URI and all, may hold at most 41 characters.
    database_ = "k" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    const std::string user = Environment("KELVADOR_TEST_PG_USER");
    PGconn* admin = ConnectAsSuperuser("postgres");
    Exec(admin, "CREATE DATABASE " + database_ + " OWNER " + user);
    PQfinish(admin);
    connection_ = ConnectAsSuperuser(database_);
    Exec(connection_, "SET ROLE " + user + "; CREATE SCHEMA vtsystem; SET search_path TO vtsystem;" +
                          script + "; RESET ROLE");

    const std::string port = Environment("KELVADOR_TEST_PG_PORT");
    std::map<std::string, std::string> environment;
    if (through_odbc_) {
      const std::string odbc_ini = installation.root() + "/odbc.ini";
      WriteWholeFile(odbc_ini, "[KTEST]\nDriver=" + Environment("KELVADOR_TEST_ODBC_PG_DRIVER") +
                                   "\nServername=127.0.0.1\nPort=" + port + "\nDatabase=" +
                                   database_ + "\nUseDeclareFetch=1\nFetch=1000\n");
      environment["ODBCINI"] = odbc_ini;
      installation.SetSetting("NET8", "KTEST");
    } else {
      installation.SetSetting("NET8", "postgresql://127.0.0.1:" + port + "/" + database_);
    }
    installation.SetSetting("LOGIN", user);
    installation.SetSetting("PASS", Environment("KELVADOR_TEST_PG_PASSWORD"));
    installation.SetSetting("DB_SYSTEM", "TEST");
    return environment;
  }

  std::string QueryScalar(const std::string& sql) override {
    Exec(connection_, "SET search_path TO vtsystem");
    PGresult* result = PQexec(connection_, sql.c_str());
    std::string value;
    if (PQresultStatus(result) == PGRES_TUPLES_OK && PQntuples(result) > 0) {
      value = PQgetvalue(result, 0, 0);
    }
    PQclear(result);
    return value;
  }

 private:
  bool through_odbc_;
  std::string database_;
  PGconn* connection_ = nullptr;
};

}  // namespace

std::unique_ptr<Route> MakePostgresqlRoute(bool through_odbc) {
  return std::make_unique<PostgresqlRoute>(through_odbc);
}

}  // namespace kelvador::testing
