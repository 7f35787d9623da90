#ifndef KELVADOR_DB_BACKENDS_H_
#define KELVADOR_DB_BACKENDS_H_

#include <memory>
#include <string>

#include "db/session.h"

namespace kelvador::db {

// Each backend opens a session for its form of the service text. On 0,
// `*session` holds the open session; otherwise it stays empty and the result is
// the Oracle-style connect status. Backends that are not built return -12154.

// "sqlite:PATH": PATH opened read-only, never created. Login and password unused.
int ConnectSqlite(const std::string& path, std::unique_ptr<Session>* session);

// libpq URI ("postgresql://..." or "postgres://..."); login and password are
// passed as separate connection parameters, never pasted into the URI.
int ConnectPostgresql(const ConnectRequest& request, std::unique_ptr<Session>* session);

// `connection` is an ODBC connection string ("odbc:" stripped) when
// `is_connection_string`, else a data source name; login and password go in as
// UID and PWD.
int ConnectOdbc(const ConnectRequest& request, const std::string& connection,
                bool is_connection_string, std::unique_ptr<Session>* session);

}  // namespace kelvador::db

#endif  // KELVADOR_DB_BACKENDS_H_
