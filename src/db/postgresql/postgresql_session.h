#ifndef KELVADOR_DB_POSTGRESQL_POSTGRESQL_SESSION_H_
#define KELVADOR_DB_POSTGRESQL_POSTGRESQL_SESSION_H_

#include <libpq-fe.h>

#include <string>
#include <string_view>

#include "db/session.h"

namespace kelvador::db {

// A libpq connection. The query runs inside a read-only transaction in
// libpq's single-row mode: rows are handed out as they arrive, one result of
// one row at a time, so memory stays flat however many rows the query returns.
// Owns the connection and closes it when it goes.
class PostgresqlSession final : public Session {
 public:
  explicit PostgresqlSession(PGconn* connection) : connection_(connection) {}
  ~PostgresqlSession() override;
  PostgresqlSession(const PostgresqlSession&) = delete;
  PostgresqlSession& operator=(const PostgresqlSession&) = delete;

  // Sets search_path to `schema` folded to lower case; -1435 when no such
  // schema exists (search_path is then unchanged).
  int SetCurrentSchema(std::string_view schema) override;
  // BEGIN READ ONLY, prepare and describe the statement: no result columns
  // -1003, more than 30 -1007, both without running it; then start it in
  // single-row mode. Any failure leaves no transaction open.
  int OpenQuery(const std::string& statement, int* item_count) override;
  int FetchRow(RowSlots& slots) override;
  // Cancels rows not yet read and ends the transaction; 0 or the status of that.
  int CloseQuery() override;

 private:
  void EndStream();       // reads what is left of the running query
  void ReleaseRow();      // frees the row the slots point into
  int StatusOf(const PGresult* result) const;
  int Execute(const char* command);  // runs a command without result rows

  PGconn* connection_;
  int item_count_ = 0;
  bool in_transaction_ = false;
  bool streaming_ = false;  // the query runs and its rows are not all read
  PGresult* row_ = nullptr;  // the last row delivered; its slots point into it
};

}  // namespace kelvador::db

#endif  // KELVADOR_DB_POSTGRESQL_POSTGRESQL_SESSION_H_
