#include "records/record_builder.h"

#include <gtest/gtest.h>

namespace kelvador {
namespace {

void Column(ColumnLayout& layout, int number, std::string format, int width) {
  layout[number - 1] = ColumnSpec{"COL" + std::to_string(number), std::move(format), width};
}

void Slot(RowSlots& row, int number, std::string_view text) {
  row.Set(number - 1, text.data(), text.size());
}

TEST(BuildRecord, JoinsEnabledColumnsInOrderWithoutSeparators) {
  ColumnLayout layout;
  Column(layout, 1, "CHAR", 4);
  Column(layout, 2, "DEC", 5);
  Column(layout, 3, "TXT", 3);
  RowSlots row;
  Slot(row, 1, " ab ");
  Slot(row, 2, "42");
  Slot(row, 3, "  x  ");
  std::string record;
  BuildRecord(layout, row, &record);
  EXPECT_EQ(record, "ab  00042  x");
}

TEST(BuildRecord, SkipsColumnsWithoutNameOrKnownFormat) {
  ColumnLayout layout;
  layout[0] = ColumnSpec{"", "CHAR", 5};  // no name: skipped
  Column(layout, 2, "char", 3);            // unknown format: nothing
  Column(layout, 3, "CHAR", 0);
  Column(layout, 4, "CHAR", -7);
  Column(layout, 30, "CHAR", 2);
  RowSlots row;
  Slot(row, 1, "AAAAA");
  Slot(row, 2, "BBB");
  Slot(row, 30, "Z");
  std::string record = "left over from the last row";
  BuildRecord(layout, row, &record);
  EXPECT_EQ(record, "Z ");
}

TEST(BuildRecord, EmptySlotsAreBlankOrZero) {
  ColumnLayout layout;
  Column(layout, 1, "CHAR", 2);
  Column(layout, 3, "DEC", 3);
  RowSlots row;
  Slot(row, 1, "x");
  std::string record;
  BuildRecord(layout, row, &record);
  EXPECT_EQ(record, "x 000");
}

TEST(BuildRecord, WidthsMayAddUpToMoreThanAnOldRecordBuffer) {
  ColumnLayout layout;
  for (int n = 1; n <= kColumnCount; ++n) Column(layout, n, "CHAR", 999);
  RowSlots row;
  const std::string full(kSlotSize, 'q');
  Slot(row, 30, full);
  std::string record;
  BuildRecord(layout, row, &record);
  ASSERT_EQ(record.size(), 30u * 999u);
  EXPECT_EQ(record.substr(29 * 999, 101), full + " ");
}

// Backends hand over their own memory or a copy, slot by slot; a slot reads
// whichever came last, and a cleared row reads as empty.
TEST(RowSlots, ASlotReadsItsLatestTextWhetherCopiedOrViewed) {
  const std::string kept = "viewed text";
  const std::string zero_inside("ab\0cd", 5);
  const std::string too_long(kSlotSize + 5, 'v');
  RowSlots row;
  row.View(0, kept.data(), kept.size(), /*may_hold_zero=*/false);
  EXPECT_EQ(row.Slot(0), "viewed text");
  EXPECT_EQ(row.Slot(0).data(), kept.data());  // no copy
  row.Set(0, "copied", 6);
  EXPECT_EQ(row.Slot(0), "copied");
  row.View(0, zero_inside.data(), zero_inside.size(), /*may_hold_zero=*/true);
  EXPECT_EQ(row.Slot(0), "ab");
  row.View(1, too_long.data(), too_long.size(), /*may_hold_zero=*/false);
  EXPECT_EQ(row.Slot(1).size(), static_cast<std::size_t>(kSlotSize));
  const RowSlots copy = row;
  EXPECT_EQ(copy.Slot(1).data(), too_long.data());
  row.Clear();
  EXPECT_EQ(row.Slot(0), "");
  EXPECT_EQ(row.Slot(1), "");
  row.Set(1, "own", 3);
  EXPECT_EQ(row.Slot(1), "own");
}

}  // namespace
}  // namespace kelvador
