// Stands in for the PostgreSQL backend in builds without libpq.
#include "db/backends.h"
#include "kelvador/status.h"

namespace kelvador::db {

int ConnectPostgresql(const ConnectRequest&, std::unique_ptr<Session>*) {
  return kServiceNotResolved;
}

}  // namespace kelvador::db
