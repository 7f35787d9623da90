#ifndef KELVADOR_DB_ODBC_ODBC_SESSION_H_
#define KELVADOR_DB_ODBC_ODBC_SESSION_H_

#include <string>
#include <string_view>
#include <vector>

#include "db/odbc/odbc_api.h"
#include "db/odbc/odbc_status.h"
#include "db/session.h"

namespace kelvador::db {

// An ODBC connection with its one statement. Rows are fetched kRowsPerFetch at
// a time into column-wise bound 101-byte character buffers (100 characters and
// the ending zero), allocated once per query, and handed out one by one. Owns
// the environment and connection handles and frees them when it goes.
class OdbcSession final : public Session {
 public:
  static constexpr int kRowsPerFetch = 512;

  OdbcSession(SQLHENV environment, SQLHDBC connection, OdbcDatabase database)
      : environment_(environment), connection_(connection), database_(database) {}
  ~OdbcSession() override;
  OdbcSession(const OdbcSession&) = delete;
  OdbcSession& operator=(const OdbcSession&) = delete;

  // Oracle: executes SchemaStatement(schema) as it stands. PostgreSQL: sets
  // search_path to `schema` in lower case, -1435 when it does not exist.
  // Other databases: 0 without effect.
  int SetCurrentSchema(std::string_view schema) override;
  // Prepares and describes the statement; no result columns -1003, more than
  // 30 -1007, both without executing it; then binds the buffers and executes.
  int OpenQuery(const std::string& statement, int* item_count) override;
  int FetchRow(RowSlots& slots) override;
  // Frees the statement, which closes its cursor; always 0.
  int CloseQuery() override;

  OdbcDatabase database() const { return database_; }

  // PostgreSQL: makes every later transaction of the session read-only; 0 or
  // the status of that command.
  int MakeReadOnly();

 private:
  int StatementStatus() const;  // status from the statement's diagnostics
  int ExecuteDirect(const std::string& text);
  int SetPostgresqlSearchPath(std::string_view schema);

  SQLHENV environment_;
  SQLHDBC connection_;
  OdbcDatabase database_;
  SQLHSTMT statement_ = SQL_NULL_HSTMT;
  int item_count_ = 0;
  std::vector<char> text_;        // item i of row r at ((i * kRowsPerFetch) + r) * 101
  std::vector<SQLLEN> lengths_;   // length or indicator, same order
  std::vector<SQLUSMALLINT> row_statuses_;
  SQLULEN rows_fetched_ = 0;
  SQLULEN next_row_ = 0;
  bool no_more_rows_ = false;
};

}  // namespace kelvador::db

#endif  // KELVADOR_DB_ODBC_ODBC_SESSION_H_
