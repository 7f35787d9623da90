#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/hex_for_tests.h"
#include "settings/value_cipher.h"

namespace kelvador {
namespace {

std::string LowerHex(const std::string& value) {
  std::string hex = Hex(value);
  for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return hex;
}

struct LookUpCase {
  std::string name;
  std::string text;
  std::string section, key;
  int number;
  int result;
  std::string value;
};

TEST(LookUpSetting, TakesTheFirstPairMatchingSectionKeyOrNumber) {
  const std::string three_pairs = ";SYSTEM;\n1;NET8;" + Hex("svc") + "\n;SYSTEM;\n2;LOGIN;" +
                                  Hex("user") + "\n;SYSTEM;\n3;PASS;" + Hex("pw") + "\n";
  const LookUpCase cases[] = {
      {"by key", three_pairs, "", "PASS", 0, kSettingFound, "pw"},
      {"by section", three_pairs, "SYSTEM", "", -1, kSettingFound, "svc"},
      {"by number", three_pairs, "", "", 2, kSettingFound, "user"},
      {"no match", three_pairs, "", "DB_SYSTEM", 0, kSettingNotFound, ""},
      {"case counts", three_pairs, "", "pass", 0, kSettingNotFound, ""},
      {"first of two wins",
       ";S;\n1;LOGIN;" + Hex("first") + "\n;S;\n2;LOGIN;" + Hex("second") + "\n", "", "LOGIN", 0,
       kSettingFound, "first"},
      {"line A without \";\" has an empty section",
       "no fields\n1;NET8;" + Hex("svc") + "\n" + three_pairs, "", "PASS", 0, kSettingFound, "svc"},
      {"line A with one \";\" has an empty section",
       "only;one\n1;NET8;" + Hex("svc") + "\n" + three_pairs, "", "PASS", 0, kSettingFound, "svc"},
      {"number 0 answers every lookup with 0", ";S;\n0;NET8;" + Hex("svc") + "\n" + three_pairs, "",
       "PASS", 0, kSettingFound, "svc"},
      {"a number without digits is 0", ";S;\nx;NET8;" + Hex("svc") + "\n" + three_pairs, "", "PASS",
       0, kSettingFound, "svc"},
      {"a number beyond 32 bits is held, not wrapped to 0",
       ";S;\n4294967296;NET8;" + Hex("svc") + "\n" + three_pairs, "", "PASS", 0, kSettingFound,
       "pw"},
      {"line B without \";\": number 0, empty key, the whole line as value",
       ";S;\n" + Hex("whole") + "\n", "", "LOGIN", 0, kSettingFound, "whole"},
      {"empty field between two \";\" gives the rest of the line", ";;\n1;K;" + Hex("v") + "\n",
       ";\n", "", -1, kSettingFound, "v"},
      {"CR before LF is dropped",
       ";S;\r\n1;NET8;" + Hex("svc") + "\r\n;S;\r\n2;PASS;" + Hex("pw") + "\r\n", "", "PASS", 0,
       kSettingFound, "pw"},
      {"last line B without a line feed keeps its value", ";S;\n1;PASS;" + Hex("pw"), "", "PASS", 0,
       kSettingFound, "pw"},
      {"lower-case hexadecimal", ";S;\n1;PASS;" + LowerHex("pw") + "\n", "", "PASS", 0,
       kSettingFound, "pw"},
      {"empty value", ";S;\n1;PASS;\n", "", "PASS", 0, kSettingFound, ""},
      {"empty value on a last line without line feed", ";S;\n1;PASS;", "", "PASS", 0, kSettingFound,
       ""},
      {"value with a wrong character", ";S;\n1;PASS;" + Hex("pw").substr(1) + "Z\n", "", "PASS", 0,
       kSettingInvalid, ""},
      {"value not a whole number of blocks", ";S;\n1;PASS;" + Hex("pw") + "00\n", "", "PASS", 0,
       kSettingInvalid, ""},
      {"a lone last line is no pair", three_pairs + ";S;\n", "", "DB_SYSTEM", 0, kSettingNotFound,
       ""},
      {"value longer than the old line reads stays whole, later pairs stay paired",
       ";S;\n1;LOGIN;" + Hex(std::string(300, 'L')) + "\n;S;\n2;PASS;" + Hex("pw") + "\n", "",
       "PASS", 0, kSettingFound, "pw"},
      {"long value read whole", ";S;\n1;LOGIN;" + Hex(std::string(300, 'L')) + "\n", "", "LOGIN", 0,
       kSettingFound, std::string(300, 'L')},
      // Line A is still read in pieces of 198 characters: the rest of a longer
      // line is line B (no ";", so number 0) and its text is no valid value.
      {"line A longer than 198 characters continues as line B",
       ";S;" + std::string(200, 'x') + "\n1;NET8;" + Hex("svc") + "\n", "", "NET8", 0,
       kSettingInvalid, ""},
      {"empty text", "", "", "", 0, kSettingNotFound, ""},
  };
  for (const auto& c : cases) {
    std::string value = "stale";
    EXPECT_EQ(LookUpSetting(c.text, c.section, c.key, c.number, &value), c.result) << c.name;
    EXPECT_EQ(value, c.value) << c.name;
  }
}

TEST(FindNthChar, FindsTheNthOrTheLastOccurrence) {
  struct Case {
    std::string text;
    int n;
    int want;
  };
  const Case cases[] = {
      {"a;b;c", 1, 1}, {"a;b;c", 2, 3}, {"a;b;c", 3, 3}, {"abc", 1, -1}, {"", 1, -1}, {";", 2, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindNthChar(c.text, ';', c.n), c.want) << c.text << " n=" << c.n;
  }
}

TEST(CopySubstring, CopiesCountCharactersTheRestOrNothing) {
  struct Case {
    std::string source;
    int start, count;
    std::string want;
  };
  const Case cases[] = {
      {"abcdef", 1, 3, "bcd"}, {"abcdef", 2, 0, "cdef"},
      {"abcdef", 2, -1, ""},   {"abcdef", 4, 9, "ef"},  // never beyond the end
      {"abcdef", 6, 1, ""},    {"abcdef", -1, 2, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CopySubstring(c.source, c.start, c.count), c.want)
        << c.source << " " << c.start << " " << c.count;
  }
}

class ReadSystemSettingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ =
        (std::filesystem::temp_directory_path() /
         ("kelvador-settings-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
          "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name()))
            .string();
  }
  void TearDown() override { std::filesystem::remove(path_); }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string Read(const std::string& key, std::string* output) {
    ::testing::internal::CaptureStdout();
    std::string value = ReadSystemSetting("", key, 0, path_);
    *output = ::testing::internal::GetCapturedStdout();
    return value;
  }
  std::string path_;
};

TEST_F(ReadSystemSettingTest, NamesTheKeyOfAnInvalidValueButNeverTheValue) {
  const std::string bad = "0123456789ABCDEFX";
  Write(";S;\n1;LOGIN;" + bad + "\n;S;\n2;PASS;" + Hex("pw") + "\n");
  std::string output;
  EXPECT_EQ(Read("LOGIN", &output), "");
  EXPECT_EQ(output, "Ungueltiger Wert fuer LOGIN in Einstellungsdatei\n");
  EXPECT_EQ(Read("PASS", &output), "pw");
  EXPECT_EQ(output, "");
}

TEST_F(ReadSystemSettingTest, MissingFileGivesTheEmptyValueSilently) {
  std::string output;
  EXPECT_EQ(Read("PASS", &output), "");
  EXPECT_EQ(output, "");
}

}  // namespace
}  // namespace kelvador
