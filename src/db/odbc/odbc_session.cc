// Placeholder until the ODBC backend lands.
#include "db/backends.h"
#include "kelvador/status.h"

namespace kelvador::db {
int ConnectOdbc(const ConnectRequest&, const std::string&, bool, std::unique_ptr<Session>*) {
  return kServiceNotResolved;
}
}  // namespace kelvador::db
