// Placeholder until the SQLite backend lands.
#include "db/backends.h"
#include "kelvador/status.h"

namespace kelvador::db {
int ConnectSqlite(const std::string&, std::unique_ptr<Session>*) { return kServiceNotResolved; }
}  // namespace kelvador::db
