#include "db/postgresql/postgresql_session.h"

#include <poll.h>

#include <cerrno>
#include <string>

#include "db/postgresql/postgresql_status.h"
#include "db/sqlhlp.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

constexpr char kCursorName[] = "kelvador_rows";

}  // namespace

PostgresqlSession::~PostgresqlSession() {
  CloseQuery();
  PQfinish(connection_);
}

int PostgresqlSession::StatusOf(const PGresult* result) const {
  const char* sqlstate = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  return PostgresqlStatus(sqlstate != nullptr ? sqlstate : "");
}

int PostgresqlSession::Execute(const char* command) {
  PGresult* result = PQexec(connection_, command);
  const int status = PQresultStatus(result) == PGRES_COMMAND_OK ? 0 : StatusOf(result);
  PQclear(result);
  return status;
}

int PostgresqlSession::SetCurrentSchema(std::string_view schema) {
  // One round trip: the search path is set only when the schema exists. The
  // name travels as a parameter and is quoted by the server.
  const std::string name = PostgresqlSchemaName(schema);
  const char* values[] = {name.c_str()};
  PGresult* result = PQexecParams(connection_, PostgresqlSetSchemaQuery("$1").c_str(), 1,
                                  nullptr, values, nullptr, nullptr, 0);
  int status = 0;
  if (PQresultStatus(result) != PGRES_TUPLES_OK) {
    status = StatusOf(result);
  } else if (PQntuples(result) == 0) {
    status = kSchemaNotFound;
  }
  PQclear(result);
  return status;
}

int PostgresqlSession::OpenQuery(const std::string& statement, int* item_count) {
  CloseQuery();
  // The planner is told the whole result is wanted, as for a plain query,
  // instead of the first tenth a cursor normally plans for.
  int status = Execute("BEGIN READ ONLY; SET LOCAL cursor_tuple_fraction = 1");
  if (status != 0) return status;
  in_transaction_ = true;

  // Describe before running: only a statement with result columns may become
  // the cursor. A prepared statement also holds exactly one command.
  PGresult* result = PQprepare(connection_, "", statement.c_str(), 0, nullptr);
  if (PQresultStatus(result) == PGRES_COMMAND_OK) {
    PQclear(result);
    result = PQdescribePrepared(connection_, "");
  }
  if (PQresultStatus(result) != PGRES_COMMAND_OK) {
    status = StatusOf(result);
  } else if (PQnfields(result) == 0) {
    status = kNotAQuery;
  } else if (PQnfields(result) > kColumnCount) {
    status = kTooManyItems;
  } else {
    item_count_ = PQnfields(result);
  }
  PQclear(result);

  if (status == 0) {
    const std::string declare =
        std::string("DECLARE ") + kCursorName + " NO SCROLL CURSOR FOR " + statement;
    // The extended protocol (unlike PQexec) refuses a text of several commands.
    result = PQexecParams(connection_, declare.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_COMMAND_OK) status = StatusOf(result);
    PQclear(result);
  }
  if (status == 0) status = SendFetch();
  if (status != 0) {
    CloseQuery();
    return status;
  }
  *item_count = item_count_;
  return 0;
}

int PostgresqlSession::SendFetch() {
  static const std::string fetch = "FETCH FORWARD " + std::to_string(kRowsPerFetch) + " FROM " +
                                   kCursorName;
  if (PQsendQueryParams(connection_, fetch.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0) != 1) {
    return kInvalidSqlStatement;
  }
  fetch_pending_ = true;
  return 0;
}

int PostgresqlSession::ReceiveBlock() {
  DropBlock();
  PGresult* first = nullptr;
  while (PGresult* result = PQgetResult(connection_)) {
    if (first == nullptr) {
      first = result;
    } else {
      PQclear(result);
    }
  }
  fetch_pending_ = false;
  if (PQresultStatus(first) != PGRES_TUPLES_OK) {
    const int status = StatusOf(first);
    PQclear(first);
    last_block_ = true;
    return status;
  }
  block_ = first;
  block_rows_ = PQntuples(first);
  next_row_ = 0;
  if (block_rows_ < kRowsPerFetch) {
    last_block_ = true;
    return 0;
  }
  return SendFetch();  // read ahead while this block is handed out
}

void PostgresqlSession::DropBlock() {
  PQclear(block_);
  block_ = nullptr;
  block_rows_ = 0;
  next_row_ = 0;
}

int PostgresqlSession::FetchRow(RowSlots& slots) {
  if (next_row_ >= block_rows_) {
    if (!fetch_pending_) return kNoFurtherRow;
    const int status = ReceiveBlock();
    if (status != 0) return status;
    if (block_rows_ == 0) return kNoFurtherRow;
  }
  const int row = next_row_++;
  for (int i = 0; i < item_count_; ++i) {
    if (PQgetlength(block_, row, i) > kSlotSize) return kItemTruncated;
  }
  int status = 0;
  for (int i = 0; i < item_count_; ++i) {
    if (PQgetisnull(block_, row, i)) {
      slots.SetEmpty(i);
      status = kNullItem;
    } else {
      slots.Set(i, PQgetvalue(block_, row, i), PQgetlength(block_, row, i));
    }
  }
  return status;
}

int PostgresqlSession::CloseQuery() {
  if (fetch_pending_) {
    while (PGresult* result = PQgetResult(connection_)) PQclear(result);
    fetch_pending_ = false;
  }
  DropBlock();
  last_block_ = false;
  item_count_ = 0;
  if (!in_transaction_) return 0;
  in_transaction_ = false;
  // Ending the transaction closes the cursor; nothing was written to keep.
  return Execute("ROLLBACK");
}

int ConnectPostgresql(const ConnectRequest& request, std::unique_ptr<Session>* session) {
  // The service text is expanded as a URI first, so the login and password
  // given separately take precedence over any user or password inside it.
  const char* keywords[5] = {"dbname", "fallback_application_name", nullptr, nullptr, nullptr};
  const char* values[5] = {request.service.c_str(), "kelvador", nullptr, nullptr, nullptr};
  int next = 2;
  if (!request.login.empty()) {
    keywords[next] = "user";
    values[next++] = request.login.c_str();
  }
  if (!request.password.empty()) {
    keywords[next] = "password";
    values[next++] = request.password.c_str();
  }
  PGconn* connection = PQconnectStartParams(keywords, values, 1);
  if (connection == nullptr) return kServiceNotResolved;
  // Verbose messages carry the server's SQLSTATE, which tells a refused login
  // from other refusals; libpq offers no other way to read it while connecting.
  PQsetErrorVerbosity(connection, PQERRORS_VERBOSE);
  PostgresPollingStatusType polling = PGRES_POLLING_WRITING;
  while (polling != PGRES_POLLING_OK && polling != PGRES_POLLING_FAILED &&
         PQstatus(connection) != CONNECTION_BAD) {
    pollfd socket{PQsocket(connection), 0, 0};
    socket.events = polling == PGRES_POLLING_READING ? POLLIN : POLLOUT;
    if (socket.fd < 0 || poll(&socket, 1, -1) < 0) {
      if (socket.fd >= 0 && errno == EINTR) continue;
      break;
    }
    polling = PQconnectPoll(connection);
  }
  if (PQstatus(connection) != CONNECTION_OK) {
    const int status = PostgresqlConnectStatus(PQerrorMessage(connection));
    PQfinish(connection);
    return status;
  }
  PQsetErrorVerbosity(connection, PQERRORS_DEFAULT);
  // Server notices would go to standard error; this part prints nothing.
  PQsetNoticeProcessor(connection, [](void*, const char*) {}, nullptr);
  *session = std::make_unique<PostgresqlSession>(connection);
  return 0;
}

}  // namespace kelvador::db
