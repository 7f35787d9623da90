#ifndef KELVADOR_DB_SESSION_TEST_SUPPORT_H_
#define KELVADOR_DB_SESSION_TEST_SUPPORT_H_

// Helpers for tests of database sessions, whatever the backend.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/session.h"
#include "kelvador/row_slots.h"
#include "kelvador/status.h"

namespace kelvador::db {

// What fetching an open query to its end gave.
struct FetchedRows {
  std::vector<std::vector<std::string>> rows;  // delivered rows (status 0 or -1405)
  std::vector<int> row_statuses;               // FetchRow's status for each of them
  int end_status = 0;                          // the status that ended the loop
};

// Fetches until a status other than 0 and -1405 (at most `max_rows` rows, so a
// faulty session cannot loop forever), reading slots 0 .. item_count - 1 of
// each row from cleared slots, as the run sequence does.
inline FetchedRows FetchAll(Session& session, int item_count, int max_rows = 100000) {
  FetchedRows fetched;
  RowSlots slots;
  for (int row = 0; row <= max_rows; ++row) {
    slots.Clear();
    const int status = session.FetchRow(slots);
    if (status != 0 && status != -1405) {
      fetched.end_status = status;
      return fetched;
    }
    std::vector<std::string> items;
    for (int item = 0; item < item_count; ++item) items.emplace_back(slots.Slot(item));
    fetched.rows.push_back(std::move(items));
    fetched.row_statuses.push_back(status);
  }
  fetched.end_status = 0;  // still delivering after max_rows rows
  return fetched;
}

// Opens `sql`, fetches until a status other than 0 or -1405 and closes the
// query; returns that status (or the open's) and collects slot 0 of each row.
inline int FetchFirstItems(Session& session, const std::string& sql,
                           std::vector<std::string>* first_items) {
  int item_count = 0;
  int status = session.OpenQuery(sql, &item_count);
  if (status != 0) return status;
  RowSlots slots;
  for (;;) {
    slots.Clear();
    status = session.FetchRow(slots);
    if (status != 0 && status != kNullItem) break;
    first_items->emplace_back(slots.Slot(0));
  }
  session.CloseQuery();
  return status;
}

// Behaviour every server backend shares, on the tables of the test servers'
// schema (tests/servers/vtsystem.sql), with `session` connected to it.

// Items go to their slots as text; a NULL item empties its slot and reports
// -1405 with the row delivered; UTF-8 passes byte for byte; slots beyond the
// select list are left alone; the end stays the end.
inline void ExpectArticleRowsInSlots(Session& session) {
  int item_count = 0;
  ASSERT_EQ(session.OpenQuery("SELECT art_no, terminal, name, qty FROM article ORDER BY art_no",
                              &item_count),
            0);
  EXPECT_EQ(item_count, 4);
  RowSlots slots;
  slots.Set(4, "keep", 4);  // beyond the select list: left as it is
  const struct {
    int status;
    const char* art_no;
    const char* name;
  } want[] = {
      {0, "1", "Schraube M4"},
      {0, "2", "Mutter M4"},
      {0, "3", "Unterlegscheibe"},
      {kNullItem, "4", ""},
      {0, "5", "M\xC3\xBCller Stra\xC3\x9F" "e \xC3\x84\xC3\x96\xC3\x9C \xE2\x82\xAC"},
  };
  for (const auto& w : want) {
    slots.Set(2, "stale", 5);
    EXPECT_EQ(session.FetchRow(slots), w.status) << w.art_no;
    EXPECT_EQ(slots.Slot(0), w.art_no);
    EXPECT_EQ(slots.Slot(2), w.name) << w.art_no;
    EXPECT_EQ(slots.Slot(3).empty(), false) << w.art_no;
    EXPECT_EQ(slots.Slot(4), "keep");
  }
  EXPECT_EQ(session.FetchRow(slots), kNoFurtherRow);
  EXPECT_EQ(session.FetchRow(slots), kNoFurtherRow);
  EXPECT_EQ(session.CloseQuery(), 0);
}

// Items of 100 bytes fit; a row with a longer item fails with -1406 and is not
// delivered; the rows after it are; widths count bytes, not characters.
inline void ExpectItemsOver100BytesRefusedRowByRow(Session& session) {
  int item_count = 0;
  ASSERT_EQ(session.OpenQuery("SELECT txt, id FROM long_text ORDER BY id", &item_count), 0);
  RowSlots slots;
  ASSERT_EQ(session.FetchRow(slots), 0);
  EXPECT_EQ(slots.Slot(0).size(), 100u);
  EXPECT_EQ(slots.Slot(1), "100");
  slots.Clear();
  EXPECT_EQ(session.FetchRow(slots), kItemTruncated);
  EXPECT_EQ(slots.Slot(0), "") << "the truncated row is not delivered";
  EXPECT_EQ(slots.Slot(1), "");
  ASSERT_EQ(session.FetchRow(slots), 0);  // 50 two-byte characters
  std::string fifty_umlauts;
  for (int i = 0; i < 50; ++i) fifty_umlauts += "\xC3\xA4";
  EXPECT_EQ(slots.Slot(0), fifty_umlauts);
  EXPECT_EQ(session.FetchRow(slots), kNoFurtherRow);
}

// Thirty select-list items are read; a thirty-first refuses the query.
inline void ExpectSelectListOf30ItemsAtMost(Session& session) {
  std::string thirty = "SELECT 1";
  for (int i = 2; i <= 30; ++i) thirty += ", " + std::to_string(i);
  int item_count = 0;
  ASSERT_EQ(session.OpenQuery(thirty, &item_count), 0);
  EXPECT_EQ(item_count, 30);
  RowSlots slots;
  EXPECT_EQ(session.FetchRow(slots), 0);
  EXPECT_EQ(slots.Slot(29), "30");
  EXPECT_EQ(session.CloseQuery(), 0);
  EXPECT_EQ(session.OpenQuery(thirty + ", 31", &item_count), kTooManyItems);
}

}  // namespace kelvador::db

#endif  // KELVADOR_DB_SESSION_TEST_SUPPORT_H_
