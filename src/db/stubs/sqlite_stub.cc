// Stands in for the SQLite backend in builds without it (KELVADOR_WITH_SQLITE
// off): "sqlite:" service texts cannot be resolved.
#include "db/backends.h"
#include "kelvador/status.h"

namespace kelvador::db {

int ConnectSqlite(const std::string&, std::unique_ptr<Session>*) { return kServiceNotResolved; }

}  // namespace kelvador::db
