#ifndef KELVADOR_DB_SESSION_TEST_SUPPORT_H_
#define KELVADOR_DB_SESSION_TEST_SUPPORT_H_

// Helpers for tests of database sessions, whatever the backend.

#include <string>
#include <vector>

#include "db/session.h"
#include "kelvador/row_slots.h"

namespace kelvador::db {

// What fetching an open query to its end gave.
struct FetchedRows {
  std::vector<std::vector<std::string>> rows;  // delivered rows (status 0 or -1405)
  std::vector<int> row_statuses;               // FetchRow's status for each of them
  int end_status = 0;                          // the status that ended the loop
};

// Fetches until a status other than 0 and -1405 (at most `max_rows` rows, so a
// faulty session cannot loop forever), reading slots 0 .. item_count - 1 of
// each row from cleared slots, as the run sequence does.
inline FetchedRows FetchAll(Session& session, int item_count, int max_rows = 100000) {
  FetchedRows fetched;
  RowSlots slots;
  for (int row = 0; row <= max_rows; ++row) {
    slots.Clear();
    const int status = session.FetchRow(slots);
    if (status != 0 && status != -1405) {
      fetched.end_status = status;
      return fetched;
    }
    std::vector<std::string> items;
    for (int item = 0; item < item_count; ++item) items.emplace_back(slots.Slot(item));
    fetched.rows.push_back(std::move(items));
    fetched.row_statuses.push_back(status);
  }
  fetched.end_status = 0;  // still delivering after max_rows rows
  return fetched;
}

}  // namespace kelvador::db

#endif  // KELVADOR_DB_SESSION_TEST_SUPPORT_H_
