#include "db/kelvador_sql.h"

#include "kelvador/status.h"

namespace kelvador {

int OpenQuery(db::Session& session, const std::string& statement) {
  int item_count = 0;
  return session.OpenQuery(statement, &item_count);
}

int FetchRow(db::Session& session, RowSlots& row) {
  const int status = session.FetchRow(row);
  return status == kNullItem ? 0 : status;
}

int CloseQuery(db::Session& session) { return session.CloseQuery(); }

}  // namespace kelvador
