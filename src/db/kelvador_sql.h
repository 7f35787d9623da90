#ifndef KELVADOR_DB_KELVADOR_SQL_H_
#define KELVADOR_DB_KELVADOR_SQL_H_

#include <string>

#include "db/session.h"
#include "kelvador/row_slots.h"

namespace kelvador {

// Opens the extraction query on the session. 0 when the cursor is open and its
// select list (at most 30 items) is bound to the row slots; else its status.
int OpenQuery(db::Session& session, const std::string& statement);

// Fetches the next row into `row`. 0 a row is there (also when an item was
// NULL); 1403 no further row; anything else an error status.
int FetchRow(db::Session& session, RowSlots& row);

// Closes the query cursor; returns its status.
int CloseQuery(db::Session& session);

}  // namespace kelvador

#endif  // KELVADOR_DB_KELVADOR_SQL_H_
