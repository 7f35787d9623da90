#include "db/sqlhlp.h"

#include "db/backends.h"
#include "kelvador/status.h"

namespace kelvador {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

int ConnectByService(const db::ConnectRequest& request, std::unique_ptr<db::Session>* session) {
  const std::string& service = request.service;
  if (StartsWith(service, "sqlite:")) {
    return db::ConnectSqlite(service.substr(7), session);
  }
  if (StartsWith(service, "postgresql://") || StartsWith(service, "postgres://")) {
    return db::ConnectPostgresql(request, session);
  }
  if (StartsWith(service, "odbc:")) {
    return db::ConnectOdbc(request, service.substr(5), true, session);
  }
  if (service.empty()) return kServiceNotResolved;
  return db::ConnectOdbc(request, service, false, session);
}

}  // namespace

std::string SchemaStatement(std::string_view schema) {
  return "ALTER SESSION SET CURRENT_SCHEMA=" + std::string(schema);
}

std::string PostgresqlSchemaName(std::string_view schema) {
  std::string folded(schema);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

std::string PostgresqlSetSchemaQuery(std::string_view placeholder) {
  return "SELECT pg_catalog.set_config('search_path', pg_catalog.quote_ident(nspname), false) "
         "FROM pg_catalog.pg_namespace WHERE nspname = " +
         std::string(placeholder);
}

int dbConnect(const std::string& login, const std::string& password, const std::string& service,
              std::string_view schema, std::unique_ptr<db::Session>* session) {
  std::unique_ptr<db::Session> opened;
  int status = ConnectByService({login, password, service}, &opened);
  if (status != 0) return status;
  status = opened->SetCurrentSchema(schema);
  if (status != 0) return status;
  *session = std::move(opened);
  return 0;
}

}  // namespace kelvador
