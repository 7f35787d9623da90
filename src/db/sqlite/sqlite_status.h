#ifndef KELVADOR_DB_SQLITE_SQLITE_STATUS_H_
#define KELVADOR_DB_SQLITE_SQLITE_STATUS_H_

#include <string_view>

struct sqlite3;

namespace kelvador::db {

// Fetch on a session without an open query (ORA-01001 invalid cursor).
inline constexpr int kInvalidCursor = -1001;

// Maps a failed SQLite result code (primary or extended) and its error message
// to the Oracle-style status operators read:
//   cannot open the file, or the file is not a database -> -12154
//   "no such table..."                                    -> -942
//   "no such column..."                                   -> -904
//   anything else (syntax, run-time errors, busy, I/O)    -> -900
// Never returns 0: call it only for codes other than SQLITE_OK/ROW/DONE.
int SqliteStatus(int result_code, std::string_view message);

// The same for the most recent failure on `db` (its extended code and message).
int SqliteStatus(sqlite3* db);

}  // namespace kelvador::db

#endif  // KELVADOR_DB_SQLITE_SQLITE_STATUS_H_
