#ifndef KELVADOR_TESTS_SUPPORT_ROUTES_H_
#define KELVADOR_TESTS_SUPPORT_ROUTES_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/installation.h"

namespace kelvador::testing {

// One way for kelvador to reach a database (SQLite natively, PostgreSQL
// natively, ODBC to PostgreSQL, ODBC to SQLite), and how a test fills a fresh
// database on it. The same end-to-end cases run on every route.
class Route {
 public:
  virtual ~Route() = default;
  virtual std::string name() const = 0;

  // Empty when the route can run here; else the reason the test is skipped.
  virtual std::string Unavailable() const = 0;

  // Makes a fresh database for `installation` holding the tables of `script`
  // (SQL both SQLite and PostgreSQL understand), writes the settings NET8,
  // LOGIN, PASS and DB_SYSTEM "TEST", and returns the environment kelvador needs.
  virtual std::map<std::string, std::string> Prepare(Installation& installation,
                                                     const std::string& script) = 0;

  // Runs `sql` in the database made by Prepare and returns the first column of
  // the first row as text (to check that nothing was changed).
  virtual std::string QueryScalar(const std::string& sql) = 0;
};

// Names of all routes, for parameterised tests.
std::vector<std::string> RouteNames();

// The route of that name.
std::unique_ptr<Route> MakeRoute(const std::string& name);

}  // namespace kelvador::testing

#endif  // KELVADOR_TESTS_SUPPORT_ROUTES_H_
