#include "records/field_format.h"

#include <gtest/gtest.h>

#include "records/record_builder.h"

namespace kelvador {
namespace {

// The record of a row whose column 1 is "pre" (CHAR, 3 wide) and whose
// column 2 holds `value` with the given width and format.
std::string RecordWithField(std::string_view value, std::int32_t width, std::string_view format) {
  ColumnLayout layout;
  layout[0] = ColumnSpec{"PRE", "CHAR", 3};
  layout[1] = ColumnSpec{"FIELD", std::string(format), width};
  RowSlots row;
  row.Set(0, "pre", 3);
  row.Set(1, value.data(), value.size());
  std::string record;
  BuildRecord(layout, row, &record);
  return record;
}

struct FieldCase {
  std::string_view value;
  std::int32_t width;
  std::string_view format;
  std::string_view want;
};

TEST(FieldFormat, CutsPadsAndTrimsByFormat) {
  const std::string hundred(100, 'x');
  const std::string hundred_and_blank = hundred + " ";
  const FieldCase cases[] = {
      {"  AB ", 5, "CHAR", "AB   "},
      {"ABCDEF", 3, "CHAR", "DEF"},
      {" 42", 6, "DEC", "000042"},
      {"12345", 2, "DEC", "45"},
      {"-12", 5, "DEC", "00-12"},
      {"1,5a", 6, "DEC", "001,5a"},
      {"  AB  ", 6, "TXT", "  AB  "},
      {"  AB  ", 3, "TXT", " AB"},
      {"    ", 4, "CHAR", "    "},
      {"    ", 4, "DEC", "0000"},
      {"    ", 2, "TXT", "  "},
      {"", 3, "CHAR", "   "},
      {"", 3, "DEC", "000"},
      {"\tA\tB\t", 5, "CHAR", "A\tB  "},
      {" \tA\tB\t ", 6, "TXT", " \tA\tB "},
      {"A", 0, "CHAR", ""},
      {"A", 0, "DEC", ""},
      {"ABC", -1, "CHAR", ""},
      {"ABC", -5, "DEC", ""},
      {"ABC", -2, "TXT", ""},
      {"AB", 4, "char", ""},
      {"AB", 4, "Dec", ""},
      {"AB", 4, "", ""},
      {"AB", 4, "CHAR ", ""},
      {"AB", 4, "TEXT", ""},
      {"\xe4\xf6\xfc", 4, "CHAR", "\xe4\xf6\xfc "},
      // Copies and paddings of 8 to 16 bytes take a path of their own.
      {"ABCDEFGHIJ", 12, "CHAR", "ABCDEFGHIJ  "},
      {"123456789", 20, "DEC", "00000000000123456789"},
      {"ABCDEFGHIJKLMNOPQ", 16, "CHAR", "BCDEFGHIJKLMNOPQ"},
      {"X", 17, "TXT", "X                "},
      {hundred, 100, "CHAR", hundred},
      {hundred, 101, "TXT", hundred_and_blank},
  };
  for (const FieldCase& c : cases) {
    const std::string record = RecordWithField(c.value, c.width, c.format);
    EXPECT_EQ(record, "pre" + std::string(c.want))
        << c.format << " width " << c.width << " '" << c.value << "'";
  }
}

TEST(FieldFormat, WideFieldsAreNotCut) {
  const std::string record = RecordWithField("7", 999, "DEC").substr(3);
  ASSERT_EQ(record.size(), 999u);
  EXPECT_EQ(record.back(), '7');
  EXPECT_EQ(record.find_first_not_of('0'), 998u);
}

TEST(Trim, RemovesBlanksAndTabsOnly) {
  EXPECT_EQ(TrimBoth(" \t a b \t "), "a b");
  EXPECT_EQ(TrimBoth(" \t \t"), "");
  EXPECT_EQ(TrimBoth("\na\r"), "\na\r");
  EXPECT_EQ(TrimRight(" \t a b \t "), " \t a b");
  EXPECT_EQ(TrimRight("   "), "");
}

}  // namespace
}  // namespace kelvador
