#include "db/odbc/odbc_session.h"

#include "db/odbc/odbc_diagnostic.h"
#include "db/sqlhlp.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

constexpr SQLLEN kBufferSize = kSlotSize + 1;  // 100 characters and the ending zero

SQLCHAR* Text(const std::string& text) {
  return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

}  // namespace

OdbcSession::~OdbcSession() {
  CloseQuery();
  SQLDisconnect(connection_);
  SQLFreeHandle(SQL_HANDLE_DBC, connection_);
  SQLFreeHandle(SQL_HANDLE_ENV, environment_);
}

int OdbcSession::StatementStatus() const {
  return OdbcStatus(ReadOdbcDiagnostic(SQL_HANDLE_STMT, statement_), database_);
}

int OdbcSession::ExecuteDirect(const std::string& text) {
  CloseQuery();
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement_))) {
    statement_ = SQL_NULL_HSTMT;
    return OdbcStatus(ReadOdbcDiagnostic(SQL_HANDLE_DBC, connection_), database_);
  }
  const SQLRETURN result = SQLExecDirect(statement_, Text(text), SQL_NTS);
  const int status = SQL_SUCCEEDED(result) || result == SQL_NO_DATA ? 0 : StatementStatus();
  CloseQuery();
  return status;
}

int OdbcSession::MakeReadOnly() {
  return ExecuteDirect("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
}

int OdbcSession::SetCurrentSchema(std::string_view schema) {
  switch (database_) {
    case OdbcDatabase::kOracle:
      return ExecuteDirect(SchemaStatement(schema));
    case OdbcDatabase::kPostgresql:
      return SetPostgresqlSearchPath(schema);
    default:
      return 0;  // no schemas to choose from, as with SQLite natively
  }
}

int OdbcSession::SetPostgresqlSearchPath(std::string_view schema) {
  // As natively: the path is set only when the schema exists; the name is a
  // parameter and quoted by the server.
  CloseQuery();
  std::string name = PostgresqlSchemaName(schema);
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement_))) {
    statement_ = SQL_NULL_HSTMT;
    return kInvalidSqlStatement;
  }
  SQLLEN name_length = static_cast<SQLLEN>(name.size());
  SQLRETURN result = SQLBindParameter(
      statement_, 1, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, name.size() + 1, 0,
      const_cast<char*>(name.c_str()), name_length, &name_length);
  if (SQL_SUCCEEDED(result)) {
    result = SQLExecDirect(statement_, Text(PostgresqlSetSchemaQuery("?")), SQL_NTS);
  }
  if (SQL_SUCCEEDED(result)) result = SQLFetch(statement_);
  int status = 0;
  if (result == SQL_NO_DATA) {
    status = kSchemaNotFound;
  } else if (!SQL_SUCCEEDED(result)) {
    status = StatementStatus();
  }
  CloseQuery();
  return status;
}

int OdbcSession::OpenQuery(const std::string& statement, int* item_count) {
  CloseQuery();
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection_, &statement_))) {
    statement_ = SQL_NULL_HSTMT;
    return OdbcStatus(ReadOdbcDiagnostic(SQL_HANDLE_DBC, connection_), database_);
  }
  // Describe before executing: a statement without result columns is refused
  // unrun.
  SQLSMALLINT columns = 0;
  if (!SQL_SUCCEEDED(SQLPrepare(statement_, Text(statement), SQL_NTS)) ||
      !SQL_SUCCEEDED(SQLNumResultCols(statement_, &columns))) {
    const int status = StatementStatus();
    CloseQuery();
    return status;
  }
  if (columns <= 0 || columns > kColumnCount) {
    CloseQuery();
    return columns <= 0 ? kNotAQuery : kTooManyItems;
  }

  item_count_ = columns;
  text_.assign(static_cast<std::size_t>(columns) * kRowsPerFetch * kBufferSize, 0);
  lengths_.assign(static_cast<std::size_t>(columns) * kRowsPerFetch, 0);
  row_statuses_.assign(kRowsPerFetch, 0);
  bool bound =
      SQL_SUCCEEDED(SQLSetStmtAttr(statement_, SQL_ATTR_ROW_BIND_TYPE,
                                   reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) &&
      SQL_SUCCEEDED(SQLSetStmtAttr(statement_, SQL_ATTR_ROW_ARRAY_SIZE,
                                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(kRowsPerFetch)), 0)) &&
      SQL_SUCCEEDED(SQLSetStmtAttr(statement_, SQL_ATTR_ROW_STATUS_PTR, row_statuses_.data(), 0)) &&
      SQL_SUCCEEDED(SQLSetStmtAttr(statement_, SQL_ATTR_ROWS_FETCHED_PTR, &rows_fetched_, 0));
  for (int i = 0; bound && i < columns; ++i) {
    bound = SQL_SUCCEEDED(SQLBindCol(statement_, static_cast<SQLUSMALLINT>(i + 1), SQL_C_CHAR,
                                     &text_[static_cast<std::size_t>(i) * kRowsPerFetch * kBufferSize],
                                     kBufferSize, &lengths_[static_cast<std::size_t>(i) * kRowsPerFetch]));
  }
  if (!bound || !SQL_SUCCEEDED(SQLExecute(statement_))) {
    const int status = StatementStatus();
    CloseQuery();
    return status;
  }
  *item_count = columns;
  return 0;
}

int OdbcSession::FetchRow(RowSlots& slots) {
  if (statement_ == SQL_NULL_HSTMT) return kNoFurtherRow;
  if (next_row_ >= rows_fetched_) {
    if (no_more_rows_) return kNoFurtherRow;
    rows_fetched_ = 0;
    next_row_ = 0;
    const SQLRETURN result = SQLFetch(statement_);
    if (result == SQL_NO_DATA) {
      no_more_rows_ = true;
      return kNoFurtherRow;
    }
    // SQL_SUCCESS_WITH_INFO comes with items that did not fit; the lengths
    // below tell which rows they are in.
    if (!SQL_SUCCEEDED(result)) {
      no_more_rows_ = true;
      return StatementStatus();
    }
    if (rows_fetched_ == 0) {
      no_more_rows_ = true;
      return kNoFurtherRow;
    }
  }
  const SQLULEN row = next_row_++;
  if (row_statuses_[row] == SQL_ROW_ERROR) return kInvalidSqlStatement;
  for (int i = 0; i < item_count_; ++i) {
    const SQLLEN length = lengths_[static_cast<std::size_t>(i) * kRowsPerFetch + row];
    if (length == SQL_NO_TOTAL || length > kSlotSize) return kItemTruncated;
  }
  int status = 0;
  for (int i = 0; i < item_count_; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) * kRowsPerFetch + row;
    if (lengths_[at] == SQL_NULL_DATA) {
      slots.SetEmpty(i);
      status = kNullItem;
    } else {
      // The bound buffers keep the row until the next block is fetched.
      slots.View(i, &text_[at * kBufferSize], static_cast<std::size_t>(lengths_[at]),
                 /*may_hold_zero=*/true);
    }
  }
  return status;
}

int OdbcSession::CloseQuery() {
  if (statement_ != SQL_NULL_HSTMT) {
    SQLFreeHandle(SQL_HANDLE_STMT, statement_);
    statement_ = SQL_NULL_HSTMT;
  }
  item_count_ = 0;
  rows_fetched_ = 0;
  next_row_ = 0;
  no_more_rows_ = false;
  return 0;
}

}  // namespace kelvador::db
