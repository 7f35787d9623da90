#include "support/routes.h"

#include <stdexcept>

namespace kelvador::testing {

std::unique_ptr<Route> MakeSqliteRoute();

std::vector<std::string> RouteNames() { return {"sqlite"}; }

std::unique_ptr<Route> MakeRoute(const std::string& name) {
  if (name == "sqlite") return MakeSqliteRoute();
  throw std::invalid_argument("unknown route " + name);
}

}  // namespace kelvador::testing
