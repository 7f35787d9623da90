#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "db/backends.h"
#include "db/session_test_support.h"
#include "db/sqlhlp.h"
#include "db/sqlite/sqlite_status.h"
#include "kelvador/row_slots.h"
#include "kelvador/status.h"

namespace kelvador::db {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A temporary folder with SQLite databases made by the test, removed at the end.
class SqliteSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kelvador-sqlite-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    database_ = folder_ / "data.db";
    MakeDatabase(database_,
                 "CREATE TABLE t(id INTEGER PRIMARY KEY, name TEXT, amount);"
                 "INSERT INTO t VALUES (1, 'Anna', 10), (2, NULL, 2.5), (3, 'Cem', x'414243');");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Creates the database `path` and runs `script` on it.
  static void MakeDatabase(const fs::path& path, const std::string& script) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int result = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(result, SQLITE_OK) << (error ? error : "") << " in " << script;
    sqlite3_free(error);
    sqlite3_close(db);
  }

  // Connects to `database_`; fails the test if that does not work.
  std::unique_ptr<Session> Connect() {
    std::unique_ptr<Session> session;
    EXPECT_EQ(ConnectSqlite(database_.string(), &session), 0);
    return session;
  }

  // Opens `statement` and fetches every row; `open_status` gets OpenQuery's result.
  FetchedRows Run(Session& session, const std::string& statement, int* open_status) {
    int item_count = 0;
    *open_status = session.OpenQuery(statement, &item_count);
    if (*open_status != 0) return {};
    return FetchAll(session, item_count);
  }

  fs::path folder_;
  fs::path database_;
};

TEST_F(SqliteSessionTest, ConnectFailsForWhatIsNoDatabaseAndCreatesNothing) {
  std::ofstream(folder_ / "notes.txt") << "This is plain text, not a database.\n";
  fs::create_directory(folder_ / "folder");
  const std::string missing = (folder_ / "missing.db").string();
  const std::string cases[] = {
      missing, (folder_ / "notes.txt").string(), (folder_ / "folder").string(), "", "/dev/null",
  };
  for (const auto& path : cases) {
    std::unique_ptr<Session> session;
    EXPECT_EQ(ConnectSqlite(path, &session), kServiceNotResolved) << "'" << path << "'";
    EXPECT_EQ(session, nullptr) << "'" << path << "'";
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(missing + "-journal"));
}

// Changes the working directory for one test and goes back afterwards.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const fs::path& path) : previous_(fs::current_path()) {
    fs::current_path(path);
  }
  ~WorkingDirectory() { fs::current_path(previous_); }

 private:
  fs::path previous_;
};

TEST_F(SqliteSessionTest, RelativePathsAreFileNamesInTheWorkingDirectory) {
  fs::create_directory(folder_ / "sub");
  fs::copy_file(database_, folder_ / "sub" / "rel.db");
  // SQLite would read these as a URI and as an in-memory database.
  fs::copy_file(database_, folder_ / "file:uri.db");
  fs::copy_file(database_, folder_ / ":memory:");
  WorkingDirectory in_folder(folder_);
  for (const std::string path : {"sub/rel.db", "data.db", "file:uri.db", ":memory:"}) {
    std::unique_ptr<Session> session;
    ASSERT_EQ(ConnectSqlite(path, &session), 0) << path;
    int open_status = 0;
    const FetchedRows fetched = Run(*session, "SELECT count(*) FROM t", &open_status);
    EXPECT_EQ(open_status, 0) << path;
    EXPECT_EQ(fetched.rows, (Rows{{"3"}})) << path;
  }
}

TEST_F(SqliteSessionTest, ServiceTextChoosesSqliteAndTheSchemaStepDoesNothing) {
  std::unique_ptr<Session> session;
  ASSERT_EQ(dbConnect("user", "secret", "sqlite:" + database_.string(), "VTSYSTEM", &session), 0);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->SetCurrentSchema("ANY_SCHEMA"), 0);
}

TEST_F(SqliteSessionTest, DeliversItemsAsSqliteTextAndLeavesFurtherSlotsEmpty) {
  auto session = Connect();
  int item_count = 0;
  ASSERT_EQ(session->OpenQuery("SELECT id, name, amount FROM t ORDER BY id", &item_count), 0);
  EXPECT_EQ(item_count, 3);
  const FetchedRows fetched = FetchAll(*session, kColumnCount);
  EXPECT_EQ(fetched.end_status, kNoFurtherRow);
  std::vector<std::string> empty_rest(kColumnCount - 3);
  auto row = [&](std::vector<std::string> items) {
    items.insert(items.end(), empty_rest.begin(), empty_rest.end());
    return items;
  };
  EXPECT_EQ(fetched.rows,
            (Rows{row({"1", "Anna", "10"}), row({"2", "", "2.5"}), row({"3", "Cem", "ABC"})}));
  EXPECT_EQ(fetched.row_statuses, (std::vector<int>{0, kNullItem, 0}));
}

TEST_F(SqliteSessionTest, NullItemEmptiesItsSlotAndStillDeliversTheRow) {
  auto session = Connect();
  int item_count = 0;
  ASSERT_EQ(session->OpenQuery("SELECT name, id FROM t WHERE id = 2", &item_count), 0);
  RowSlots slots;
  slots.Set(0, "stale", 5);
  EXPECT_EQ(session->FetchRow(slots), kNullItem);
  EXPECT_EQ(slots.Slot(0), "");
  EXPECT_EQ(slots.Slot(1), "2");
  EXPECT_EQ(session->FetchRow(slots), kNoFurtherRow);
}

TEST_F(SqliteSessionTest, QueryWithoutRowsEndsAtTheFirstFetchAndStaysEnded) {
  auto session = Connect();
  int item_count = 0;
  ASSERT_EQ(session->OpenQuery("SELECT name FROM t WHERE id > 99", &item_count), 0);
  RowSlots slots;
  EXPECT_EQ(session->FetchRow(slots), kNoFurtherRow);
  // Stepping a finished statement again would start it over.
  ASSERT_EQ(session->OpenQuery("SELECT id FROM t", &item_count), 0);
  EXPECT_EQ(FetchAll(*session, 1).rows.size(), 3u);
  EXPECT_EQ(session->FetchRow(slots), kNoFurtherRow);
}

TEST_F(SqliteSessionTest, ItemsUpToOneHundredBytesFitAndLongerOnesFailTheRow) {
  struct LengthCase {
    std::string expression;
    int want_status;
    std::string want_text;
  };
  const std::string ascii_100(100, 'x');
  std::string umlauts_100;  // 50 two-byte characters
  for (int i = 0; i < 50; ++i) umlauts_100 += "\xC3\xA4";
  const LengthCase cases[] = {
      {"'" + ascii_100 + "'", 0, ascii_100},       {"'" + ascii_100 + "y'", kItemTruncated, ""},
      {"'" + umlauts_100 + "'", 0, umlauts_100},   {"'" + umlauts_100 + "y'", kItemTruncated, ""},
      {"printf('%.101d', 7)", kItemTruncated, ""},
      {"x'41004243'", 0, "A"},  // a text ends at its first zero byte
  };
  auto session = Connect();
  for (const auto& c : cases) {
    int item_count = 0;
    ASSERT_EQ(session->OpenQuery("SELECT 'a', " + c.expression, &item_count), 0) << c.expression;
    RowSlots slots;
    EXPECT_EQ(session->FetchRow(slots), c.want_status) << c.expression;
    if (c.want_status == 0) {
      EXPECT_EQ(slots.Slot(1), c.want_text) << c.expression;
    }
    EXPECT_EQ(session->CloseQuery(), 0);
  }
}

TEST_F(SqliteSessionTest, ThirtyItemsAreTheLimit) {
  auto select_list = [](int count) {
    std::string list;
    for (int i = 1; i <= count; ++i) list += (i > 1 ? ", " : "") + std::to_string(i);
    return "SELECT " + list + " FROM t WHERE id = 1";
  };
  auto session = Connect();
  int item_count = 0;
  ASSERT_EQ(session->OpenQuery(select_list(30), &item_count), 0);
  EXPECT_EQ(item_count, 30);
  RowSlots slots;
  ASSERT_EQ(session->FetchRow(slots), 0);
  EXPECT_EQ(slots.Slot(0), "1");
  EXPECT_EQ(slots.Slot(29), "30");
  EXPECT_EQ(session->OpenQuery(select_list(31), &item_count), kTooManyItems);
  EXPECT_EQ(session->FetchRow(slots), kInvalidCursor);
}

TEST_F(SqliteSessionTest, StatementsThatAreNoSingleQueryAreRefusedAndChangeNothing) {
  const std::string before = ReadBytes(database_);
  const std::string cases[] = {
      "INSERT INTO t VALUES (4, 'Dora', 1)",
      "INSERT INTO t VALUES (4, 'Dora', 1) RETURNING id",
      "CREATE TABLE u(x)",
      "DELETE FROM t",
      "SELECT * FROM t; DELETE FROM t",
      "SELECT * FROM t; SELECT * FROM t",
      std::string("SELECT * FROM t\0; DELETE FROM t", 31),
      "PRAGMA user_version = 7",
      "PRAGMA journal_mode = WAL",
      "ATTACH 'other.db' AS other",
      "BEGIN",
      "",
      " ; -- nothing but a comment",
  };
  auto session = Connect();
  for (const auto& statement : cases) {
    int item_count = -1;
    EXPECT_EQ(session->OpenQuery(statement, &item_count), kNotAQuery) << statement;
    EXPECT_EQ(item_count, -1) << statement;
    RowSlots slots;
    EXPECT_EQ(session->FetchRow(slots), kInvalidCursor) << statement;
  }
  session.reset();
  EXPECT_EQ(ReadBytes(database_), before);
  EXPECT_FALSE(fs::exists(folder_ / "other.db"));
  EXPECT_FALSE(fs::exists(folder_ / "data.db-wal"));
}

TEST_F(SqliteSessionTest, OneQueryWithTrailingBlanksSemicolonsOrCommentsIsAccepted) {
  const std::string cases[] = {
      "SELECT id FROM t;",
      "  SELECT id FROM t ;; \n",
      "SELECT id FROM t; -- all rows\n",
      "/* header */ SELECT id FROM t /* end */",
      "WITH x AS (SELECT id FROM t) SELECT id FROM x",
  };
  auto session = Connect();
  for (const auto& statement : cases) {
    int open_status = 0;
    const FetchedRows fetched = Run(*session, statement, &open_status);
    EXPECT_EQ(open_status, 0) << statement;
    EXPECT_EQ(fetched.rows, (Rows{{"1"}, {"2"}, {"3"}})) << statement;
  }
}

TEST_F(SqliteSessionTest, StatementOfAnyLengthRunsWhole) {
  // Longer than any fixed statement store, with the deciding part at the end.
  const std::string statement = "SELECT name" + std::string(10000, ' ') + "FROM t WHERE id = 3";
  auto session = Connect();
  int open_status = 0;
  EXPECT_EQ(Run(*session, statement, &open_status).rows, (Rows{{"Cem"}}));
  EXPECT_EQ(open_status, 0);
}

TEST_F(SqliteSessionTest, OpenErrorsMapToOracleStatuses) {
  struct ErrorCase {
    std::string statement;
    int want;
  };
  const ErrorCase cases[] = {
      {"SELECT * FROM missing_table", kTableNotFound},
      {"SELECT no_such_column FROM t", kInvalidColumn},
      {"SELEC id FROM t", kInvalidSqlStatement},
      {"SELECT no_such_function(id) FROM t", kInvalidSqlStatement},
  };
  auto session = Connect();
  for (const auto& c : cases) {
    int item_count = 0;
    EXPECT_EQ(session->OpenQuery(c.statement, &item_count), c.want) << c.statement;
  }
}

TEST_F(SqliteSessionTest, RunTimeErrorAfterSomeRowsEndsTheQuery) {
  MakeDatabase(database_,
               "CREATE TABLE n(k INTEGER PRIMARY KEY, v INTEGER);"
               "INSERT INTO n VALUES (1, -5), (2, 7), (3, -9223372036854775808), (4, 1);");
  auto session = Connect();
  int open_status = 0;
  const FetchedRows fetched = Run(*session, "SELECT abs(v) FROM n ORDER BY k", &open_status);
  ASSERT_EQ(open_status, 0);
  EXPECT_EQ(fetched.rows, (Rows{{"5"}, {"7"}}));
  EXPECT_EQ(fetched.end_status, kInvalidSqlStatement);
  RowSlots slots;
  EXPECT_EQ(session->FetchRow(slots), kInvalidSqlStatement);  // not started over
  EXPECT_EQ(session->CloseQuery(), 0);
}

TEST_F(SqliteSessionTest, Utf8TextPassesByteForByte) {
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xF0\x9F\x98\x80 \xE6\x97\xA5";
  MakeDatabase(database_, "CREATE TABLE u(s TEXT); INSERT INTO u VALUES ('" + text + "');");
  auto session = Connect();
  int open_status = 0;
  EXPECT_EQ(Run(*session, "SELECT s, length(s) FROM u", &open_status).rows, (Rows{{text, "11"}}));
  EXPECT_EQ(open_status, 0);
}

TEST_F(SqliteSessionTest, FetchWithoutAnOpenQueryIsAnInvalidCursor) {
  auto session = Connect();
  RowSlots slots;
  EXPECT_EQ(session->FetchRow(slots), kInvalidCursor);
  int item_count = 0;
  ASSERT_EQ(session->OpenQuery("SELECT id FROM t", &item_count), 0);
  EXPECT_EQ(session->CloseQuery(), 0);
  EXPECT_EQ(session->FetchRow(slots), kInvalidCursor);
  EXPECT_EQ(session->CloseQuery(), 0);
}

}  // namespace
}  // namespace kelvador::db
