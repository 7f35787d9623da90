// Stands in for the PostgreSQL backend in builds without it
// (KELVADOR_WITH_POSTGRESQL off): "postgresql://" service texts cannot be resolved.
#include "db/backends.h"
#include "kelvador/status.h"

namespace kelvador::db {

int ConnectPostgresql(const ConnectRequest&, std::unique_ptr<Session>*) {
  return kServiceNotResolved;
}

}  // namespace kelvador::db
