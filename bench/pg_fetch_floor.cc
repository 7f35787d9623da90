// The fetch-only floor for PostgreSQL: runs one query through libpq in
// single-row mode and takes every item's text (PQgetvalue and its length),
// writing nothing. Its time is what the server and the protocol allow.
//
// Usage: bench_pg_floor CONNINFO STATEMENT
// Prints "<rows> rows, <bytes> bytes" on standard output; exit status 0 when
// the query ran to its end, 1 otherwise (the error on standard error).
#include <libpq-fe.h>

#include <cstdint>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CONNINFO STATEMENT\n", argv[0]);
    return 2;
  }
  PGconn* connection = PQconnectdb(argv[1]);
  if (PQstatus(connection) != CONNECTION_OK) {
    std::fprintf(stderr, "cannot connect: %s", PQerrorMessage(connection));
    PQfinish(connection);
    return 1;
  }
  if (!PQsendQuery(connection, argv[2]) || !PQsetSingleRowMode(connection)) {
    std::fprintf(stderr, "cannot send: %s", PQerrorMessage(connection));
    PQfinish(connection);
    return 1;
  }
  std::uint64_t rows = 0;
  std::uint64_t bytes = 0;
  unsigned checksum = 0;  // keeps the compiler from dropping the reads
  bool complete = false;
  while (PGresult* result = PQgetResult(connection)) {
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_SINGLE_TUPLE) {
      const int item_count = PQnfields(result);
      for (int i = 0; i < item_count; ++i) {
        const char* text = PQgetvalue(result, 0, i);
        const int length = PQgetlength(result, 0, i);
        if (length > 0) checksum += static_cast<unsigned char>(text[length - 1]);
        bytes += static_cast<std::uint64_t>(length);
      }
      ++rows;
    } else if (status == PGRES_TUPLES_OK) {
      complete = true;
    } else {
      std::fprintf(stderr, "query failed: %s", PQresultErrorMessage(result));
    }
    PQclear(result);
  }
  PQfinish(connection);
  std::printf("%llu rows, %llu bytes (%u)\n", static_cast<unsigned long long>(rows),
              static_cast<unsigned long long>(bytes), checksum);
  return complete ? 0 : 1;
}
