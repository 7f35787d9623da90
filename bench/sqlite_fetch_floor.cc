// The fetch-only floor for SQLite: steps through one query and takes every
// item's text the way an extraction must (sqlite3_column_text and its length),
// writing nothing. Its time is the database's own speed, which no extraction
// of the same query can beat.
//
// Usage: bench_sqlite_floor DATABASE STATEMENT
// Prints "<rows> rows, <bytes> bytes" on standard output; exit status 0 when
// the query ran to its end, 1 otherwise (the error on standard error).
#include <sqlite3.h>

#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATABASE STATEMENT\n", argv[0]);
    return 2;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "cannot open %s: %s\n", argv[1], sqlite3_errmsg(db));
    sqlite3_close(db);
    return 1;
  }
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, argv[2], -1, &statement, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "cannot prepare: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
    return 1;
  }
  const int item_count = sqlite3_column_count(statement);
  std::uint64_t rows = 0;
  std::uint64_t bytes = 0;
  unsigned checksum = 0;  // keeps the compiler from dropping the reads
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    for (int i = 0; i < item_count; ++i) {
      const unsigned char* text = sqlite3_column_text(statement, i);
      const int length = sqlite3_column_bytes(statement, i);
      if (text != nullptr && length > 0) checksum += text[length - 1];
      bytes += static_cast<std::uint64_t>(length);
    }
    ++rows;
  }
  const bool complete = rc == SQLITE_DONE;
  if (!complete) std::fprintf(stderr, "step failed: %s\n", sqlite3_errmsg(db));
  sqlite3_finalize(statement);
  sqlite3_close(db);
  std::printf("%llu rows, %llu bytes (%u)\n", static_cast<unsigned long long>(rows),
              static_cast<unsigned long long>(bytes), checksum);
  return complete ? 0 : 1;
}
