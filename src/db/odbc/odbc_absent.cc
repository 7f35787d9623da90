// Stands in for the ODBC backend in builds without it.
#include "db/backends.h"
#include "kelvador/status.h"

namespace kelvador::db {

int ConnectOdbc(const ConnectRequest&, const std::string&, bool, std::unique_ptr<Session>*) {
  return kServiceNotResolved;
}

}  // namespace kelvador::db
