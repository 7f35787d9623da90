// The SQLite backend: "sqlite:PATH" opens the database file PATH read-only.
#include <sqlite3.h>
#include <sys/stat.h>

#include <climits>
#include <memory>
#include <string>

#include "db/backends.h"
#include "db/sqlite/sqlite_status.h"
#include "kelvador/row_slots.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

// How long a read waits for a writer in another process to release its lock
// before the statement fails with -900.
constexpr int kBusyTimeoutMs = 5000;

// Finalizes a statement when it goes out of scope.
struct StatementCloser {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementCloser>;

// Closes a connection when it goes out of scope.
struct ConnectionCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using ConnectionHandle = std::unique_ptr<sqlite3, ConnectionCloser>;

// True when nothing but blanks, semicolons and comments follows the first
// statement, i.e. `text` holds exactly one statement. Later statements are
// only prepared to recognise them, never run.
bool OnlyOneStatement(sqlite3* db, const char* tail, const char* end) {
  while (tail < end) {
    sqlite3_stmt* extra = nullptr;
    const char* next = nullptr;
    const int result = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &extra, &next);
    sqlite3_finalize(extra);
    // A further statement, text SQLite cannot parse, or an embedded zero byte
    // (where SQLite stops reading, so `next` does not move on).
    if (result != SQLITE_OK || extra != nullptr || next == tail) return false;
    tail = next;
  }
  return true;
}

class SqliteSession final : public Session {
 public:
  explicit SqliteSession(ConnectionHandle db) : db_(std::move(db)) {}

  // SQLite has no schemas.
  int SetCurrentSchema(std::string_view) override { return 0; }

  int OpenQuery(const std::string& statement, int* item_count) override {
    CloseQuery();
    if (statement.size() >= static_cast<std::size_t>(INT_MAX)) return kInvalidSqlStatement;
    sqlite3_stmt* prepared = nullptr;
    const char* tail = nullptr;
    const char* end = statement.data() + statement.size();
    const int result = sqlite3_prepare_v2(db_.get(), statement.data(),
                                          static_cast<int>(statement.size()), &prepared, &tail);
    StatementHandle query(prepared);
    if (result != SQLITE_OK) return SqliteStatus(db_.get());
    // Nothing is executed unless the text is exactly one statement that only
    // reads and returns rows; the read-only connection is a second guard.
    if (query == nullptr || !OnlyOneStatement(db_.get(), tail, end)) return kNotAQuery;
    if (!sqlite3_stmt_readonly(query.get())) return kNotAQuery;
    const int count = sqlite3_column_count(query.get());
    if (count == 0) return kNotAQuery;
    if (count > kColumnCount) return kTooManyItems;
    query_ = std::move(query);
    item_count_ = count;
    end_status_ = 0;
    *item_count = count;
    return 0;
  }

  int FetchRow(RowSlots& slots) override {
    if (query_ == nullptr) return kInvalidCursor;
    // After the last row or an error the query stays finished: stepping again
    // would silently start it over.
    if (end_status_ != 0) return end_status_;
    sqlite3_stmt* query = query_.get();
    const int result = sqlite3_step(query);
    if (result != SQLITE_ROW) {
      end_status_ = result == SQLITE_DONE ? kNoFurtherRow : SqliteStatus(db_.get());
      return end_status_;
    }
    int status = 0;
    for (int item = 0; item < item_count_; ++item) {
      // SQLite converts every value to text itself (numbers, blobs as bytes).
      const unsigned char* text = sqlite3_column_text(query, item);
      if (text == nullptr) {
        if (sqlite3_errcode(db_.get()) == SQLITE_NOMEM) {
          end_status_ = kInvalidSqlStatement;
          return end_status_;
        }
        slots.SetEmpty(item);
        status = kNullItem;
        continue;
      }
      const int length = sqlite3_column_bytes(query, item);
      if (length > kSlotSize) return kItemTruncated;  // the row is not delivered
      // A text stays where SQLite put it until the next step.
      slots.View(item, reinterpret_cast<const char*>(text), static_cast<std::size_t>(length),
                 /*may_hold_zero=*/true);
    }
    return status;
  }

  int CloseQuery() override {
    query_.reset();
    item_count_ = 0;
    end_status_ = 0;
    return 0;
  }

 private:
  ConnectionHandle db_;
  StatementHandle query_;
  int item_count_ = 0;
  int end_status_ = 0;  // 1403 or the error that ended the open query, else 0
};

// Reads the schema once, so that a file that is not a database (or cannot be
// read) fails at connect rather than at the first query.
bool ReadsAsDatabase(sqlite3* db) {
  sqlite3_stmt* prepared = nullptr;
  if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master LIMIT 1", -1, &prepared, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(prepared);
    return false;
  }
  StatementHandle probe(prepared);
  const int result = sqlite3_step(probe.get());
  return result == SQLITE_ROW || result == SQLITE_DONE;
}

}  // namespace

int ConnectSqlite(const std::string& path, std::unique_ptr<Session>* session) {
  // Only regular files (or links to them): a directory, a FIFO or a device is
  // no database, and reading a FIFO would block the run.
  struct stat file_status;
  if (path.empty() || stat(path.c_str(), &file_status) != 0 || !S_ISREG(file_status.st_mode)) {
    return kServiceNotResolved;
  }
  // SQLite reads names starting with "file:" as URIs and ":memory:" as an
  // in-memory database; "./" keeps a relative PATH a plain file name.
  const std::string file_name = path.front() == '/' ? path : "./" + path;
  sqlite3* opened = nullptr;
  const int result = sqlite3_open_v2(file_name.c_str(), &opened,
                                     SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  ConnectionHandle db(opened);
  if (result != SQLITE_OK) return kServiceNotResolved;
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  if (!ReadsAsDatabase(db.get())) return kServiceNotResolved;
  *session = std::make_unique<SqliteSession>(std::move(db));
  return 0;
}

}  // namespace kelvador::db
