#ifndef KELVADOR_DB_POSTGRESQL_POSTGRESQL_SESSION_H_
#define KELVADOR_DB_POSTGRESQL_POSTGRESQL_SESSION_H_

#include <libpq-fe.h>

#include <string>
#include <string_view>

#include "db/session.h"

namespace kelvador::db {

// A libpq connection. The query runs inside a read-only transaction through a
// server-side cursor read in blocks of kRowsPerFetch rows; the next block is
// requested as soon as one arrives, so the server works while the rows of the
// current block are handed out. Owns the connection and closes it when it goes.
class PostgresqlSession final : public Session {
 public:
  static constexpr int kRowsPerFetch = 4000;

  explicit PostgresqlSession(PGconn* connection) : connection_(connection) {}
  ~PostgresqlSession() override;
  PostgresqlSession(const PostgresqlSession&) = delete;
  PostgresqlSession& operator=(const PostgresqlSession&) = delete;

  // Sets search_path to `schema` folded to lower case; -1435 when no such
  // schema exists (search_path is then unchanged).
  int SetCurrentSchema(std::string_view schema) override;
  // BEGIN READ ONLY, prepare and describe the statement: no result columns
  // -1003, more than 30 -1007, both without running it; then declare the
  // cursor and request the first block. Any failure leaves no transaction open.
  int OpenQuery(const std::string& statement, int* item_count) override;
  int FetchRow(RowSlots& slots) override;
  // Ends the transaction (which closes the cursor); 0 or the status of that.
  int CloseQuery() override;

 private:
  int SendFetch();        // asks for the next block; 0 or a status
  int ReceiveBlock();     // waits for the requested block into block_
  int StatusOf(const PGresult* result) const;
  int Execute(const char* command);  // runs a command without result rows
  void DropBlock();

  PGconn* connection_;
  PGresult* block_ = nullptr;  // rows received and not yet all handed out
  int block_rows_ = 0;
  int next_row_ = 0;
  int item_count_ = 0;
  bool in_transaction_ = false;
  bool fetch_pending_ = false;  // a FETCH was sent and its result not read
  bool last_block_ = false;     // the server has no rows after block_
};

}  // namespace kelvador::db

#endif  // KELVADOR_DB_POSTGRESQL_POSTGRESQL_SESSION_H_
