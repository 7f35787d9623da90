#include "db/postgresql/postgresql_session.h"

#include <poll.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cerrno>
#include <string>

#include "db/postgresql/postgresql_status.h"
#include "db/sqlhlp.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

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
  int status = Execute("BEGIN READ ONLY");
  if (status != 0) return status;
  in_transaction_ = true;

  // Describe before running: only a statement with result columns is run. A
  // prepared statement also holds exactly one command.
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

  // Only a plain query may run: a cursor can be declared for nothing else, so
  // UPDATE ... RETURNING and data-changing WITH clauses are refused here,
  // unrun. The extended protocol (unlike PQexec) refuses several commands.
  if (status == 0) {
    const std::string declare = "DECLARE kelvador_check NO SCROLL CURSOR FOR " + statement;
    result = PQexecParams(connection_, declare.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 0);
    if (PQresultStatus(result) != PGRES_COMMAND_OK) status = StatusOf(result);
    PQclear(result);
    if (status == 0) status = Execute("CLOSE kelvador_check");
  }

  // The rows stream in one at a time as the server sends them: nothing waits
  // for a whole block, and memory holds one row whatever the result's size.
  if (status == 0 &&
      (PQsendQueryParams(connection_, statement.c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                         0) != 1 ||
       PQsetSingleRowMode(connection_) != 1)) {
    status = kInvalidSqlStatement;
  }
  if (status != 0) {
    CloseQuery();
    return status;
  }
  streaming_ = true;
  *item_count = item_count_;
  return 0;
}

void PostgresqlSession::ReleaseRow() {
  PQclear(row_);
  row_ = nullptr;
}

void PostgresqlSession::EndStream() {
  while (PGresult* rest = PQgetResult(connection_)) PQclear(rest);
  streaming_ = false;
}

int PostgresqlSession::FetchRow(RowSlots& slots) {
  ReleaseRow();
  if (!streaming_) return kNoFurtherRow;
  PGresult* row = PQgetResult(connection_);
  const ExecStatusType kind = PQresultStatus(row);
  if (kind != PGRES_SINGLE_TUPLE) {
    // The zero-row result that ends the stream, or an error (also a lost
    // connection, which has no SQLSTATE and reports -900).
    const int status = kind == PGRES_TUPLES_OK ? kNoFurtherRow : StatusOf(row);
    PQclear(row);
    EndStream();
    return status;
  }
  int lengths[kColumnCount];
  int status = 0;
  for (int i = 0; i < item_count_; ++i) {
    lengths[i] = PQgetlength(row, 0, i);
    if (lengths[i] > kSlotSize) status = kItemTruncated;
  }
  for (int i = 0; i < item_count_ && status != kItemTruncated; ++i) {
    if (lengths[i] > 0) {
      // Text values from the server never hold a zero byte.
      slots.View(i, PQgetvalue(row, 0, i), static_cast<std::size_t>(lengths[i]),
                 /*may_hold_zero=*/false);
    } else {
      slots.SetEmpty(i);  // an empty text or a NULL, which has no length either
      if (PQgetisnull(row, 0, i)) status = kNullItem;
    }
  }
  row_ = row;  // kept while the slots point into it
  return status;
}

int PostgresqlSession::CloseQuery() {
  ReleaseRow();
  if (streaming_) {
    // Rows not read yet are not wanted: ask the server to stop sending them.
    if (PGcancel* cancel = PQgetCancel(connection_)) {
      char error[256];
      PQcancel(cancel, error, sizeof error);
      PQfreeCancel(cancel);
    }
    EndStream();
  }
  item_count_ = 0;
  if (!in_transaction_) return 0;
  in_transaction_ = false;
  // Nothing was written to keep.
  return Execute("ROLLBACK");
}

namespace {

// Every block of rows is a result of many small allocations that is freed
// whole before the next one arrives. glibc would hand the top of its heap back
// to the system after each block and take it again for the next: thousands of
// system calls per million rows. Keeping up to 64 MiB of freed heap avoids it.
void KeepFreedHeapBetweenBlocks() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}

}  // namespace

int ConnectPostgresql(const ConnectRequest& request, std::unique_ptr<Session>* session) {
  KeepFreedHeapBetweenBlocks();
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
