#include "support/routes.h"

#include <stdexcept>

namespace kelvador::testing {

std::unique_ptr<Route> MakeSqliteRoute(bool through_odbc);
std::unique_ptr<Route> MakePostgresqlRoute(bool through_odbc);

std::vector<std::string> RouteNames() {
  return {"sqlite", "postgresql", "odbc-postgresql", "odbc-sqlite"};
}

std::unique_ptr<Route> MakeRoute(const std::string& name) {
  if (name == "sqlite") return MakeSqliteRoute(false);
  if (name == "odbc-sqlite") return MakeSqliteRoute(true);
  if (name == "postgresql") return MakePostgresqlRoute(false);
  if (name == "odbc-postgresql") return MakePostgresqlRoute(true);
  throw std::invalid_argument("unknown route " + name);
}

}  // namespace kelvador::testing
