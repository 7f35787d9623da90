#ifndef KELVADOR_DB_SESSION_H_
#define KELVADOR_DB_SESSION_H_

#include <memory>
#include <string>
#include <string_view>

#include "kelvador/row_slots.h"

namespace kelvador::db {

// One database connection and its single query cursor. Every call returns 0,
// 1403 when no further row exists, or a negative Oracle-style status
// (kelvador/status.h). Each backend maps its own errors in its own folder.
class Session {
 public:
  virtual ~Session() = default;

  // Makes `schema` the current schema for unqualified names. Backends without
  // schemas succeed without effect.
  virtual int SetCurrentSchema(std::string_view schema) = 0;

  // Prepares, opens and describes `statement`, which must be a query of at most
  // 30 select-list items; anything else fails without being executed. On 0,
  // `*item_count` holds the number of select-list items.
  virtual int OpenQuery(const std::string& statement, int* item_count) = 0;

  // Converts the next row's items to text in slots 0 .. item_count - 1; slots
  // beyond them are left as they are. A NULL item empties its slot and the call
  // returns -1405 with the row delivered; an item longer than 100 characters
  // returns -1406 and the row is not delivered. Rows may be prefetched in
  // batches inside the backend; one call delivers one row. Slots may point
  // into the backend's own memory, valid until the next FetchRow or CloseQuery.
  virtual int FetchRow(RowSlots& slots) = 0;

  // Closes the cursor opened by OpenQuery.
  virtual int CloseQuery() = 0;
};

// Credentials and service text of one connect, as read from the settings.
struct ConnectRequest {
  std::string login;
  std::string password;
  std::string service;  // the NET8 setting; chooses the backend
};

}  // namespace kelvador::db

#endif  // KELVADOR_DB_SESSION_H_
