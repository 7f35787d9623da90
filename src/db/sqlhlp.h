#ifndef KELVADOR_DB_SQLHLP_H_
#define KELVADOR_DB_SQLHLP_H_

#include <memory>
#include <string>
#include <string_view>

#include "db/session.h"

namespace kelvador {

// Opens the session named by `service` (chosen by its form: "sqlite:",
// "postgresql://", "postgres://", "odbc:", else an ODBC data source name) and
// makes `schema` current. Returns 0 with `*session` set, else the status of the
// connect or of the schema step (the session is then dropped).
int dbConnect(const std::string& login, const std::string& password, const std::string& service,
              std::string_view schema, std::unique_ptr<db::Session>* session);

// The schema statement sent to databases that understand it (Oracle).
std::string SchemaStatement(std::string_view schema);

}  // namespace kelvador

#endif  // KELVADOR_DB_SQLHLP_H_
