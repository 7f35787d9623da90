#include "settings/settings_tool.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/hex_for_tests.h"
#include "settings/value_cipher.h"

namespace kelvador {
namespace {

struct SetCase {
  std::string name;
  std::string before;
  std::string key, value;
  std::string after;  // the whole text afterwards
  int number;
  bool added;
};

TEST(SetSettingInText, ReplacesTheValueTheRunWouldTakeOrAppendsAPair) {
  const std::string net8 = "1;NET8;" + Hex("old") + "\n";
  const SetCase cases[] = {
      {"new file", "", "NET8", "nowhere", ";SYSTEM;\n1;NET8;" + Hex("nowhere") + "\n", 1, true},
      {"replace keeps every other byte",
       ";OTHER;\n5;DB_SYSTEM;" + Hex("db") + "\n;SYSTEM;\n" + net8 + ";SYSTEM;\n2;LOGIN;" +
           Hex("u") + "\n",
       "NET8", "nowhere",
       ";OTHER;\n5;DB_SYSTEM;" + Hex("db") + "\n;SYSTEM;\n1;NET8;" + Hex("nowhere") +
           "\n;SYSTEM;\n2;LOGIN;" + Hex("u") + "\n",
       1, false},
      {"replace in CRLF", ";SYSTEM;\r\n1;NET8;" + Hex("old") + "\r\n", "NET8", "x",
       ";SYSTEM;\r\n1;NET8;" + Hex("x") + "\r\n", 1, false},
      {"append in CRLF", ";SYSTEM;\r\n1;NET8;" + Hex("old") + "\r\n", "PASS", "pw",
       ";SYSTEM;\r\n1;NET8;" + Hex("old") + "\r\n;SYSTEM;\r\n2;PASS;" + Hex("pw") + "\r\n", 2,
       true},
      {"append after a last line without line feed", ";SYSTEM;\n1;NET8;" + Hex("old"), "PASS", "pw",
       ";SYSTEM;\n1;NET8;" + Hex("old") + "\n;SYSTEM;\n2;PASS;" + Hex("pw") + "\n", 2, true},
      {"replace on a last line without line feed", ";SYSTEM;\n1;NET8;" + Hex("old"), "NET8", "new",
       ";SYSTEM;\n1;NET8;" + Hex("new"), 1, false},
      {"a trailing blank line stays last", ";SYSTEM;\n" + net8 + "\n", "PASS", "pw",
       ";SYSTEM;\n" + net8 + ";SYSTEM;\n2;PASS;" + Hex("pw") + "\n\n", 2, true},
      {"next number above the largest", ";A;\n7;X;\n;B;\n3;Y;\n", "PASS", "",
       ";A;\n7;X;\n;B;\n3;Y;\n;SYSTEM;\n8;PASS;\n", 8, true},
      {"an empty value clears an old one", ";SYSTEM;\n" + net8, "NET8", "", ";SYSTEM;\n1;NET8;\n",
       1, false},
      {"long value", "", "LOGIN", std::string(300, 'L'),
       ";SYSTEM;\n1;LOGIN;" + Hex(std::string(300, 'L')) + "\n", 1, true},
      // The run takes a pair with number 0 for every key, so that pair is the
      // one whose value must change.
      {"pair with number 0", ";SYSTEM;\n0;NET8;" + Hex("old") + "\n", "LOGIN", "u",
       ";SYSTEM;\n0;NET8;" + Hex("u") + "\n", 0, false},
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    SetOutcome outcome;
    std::string error;
    ASSERT_EQ(SetSettingInText(&text, c.key, c.value, &outcome, &error), 0) << c.name << error;
    EXPECT_EQ(text, c.after) << c.name;
    EXPECT_EQ(outcome.number, c.number) << c.name;
    EXPECT_EQ(outcome.added, c.added) << c.name;
  }
}

TEST(SetSettingInText, RefusesWhatTheFileCouldNotHoldAndLeavesTheTextAlone) {
  struct Case {
    std::string name, before, key, value;
  };
  const Case cases[] = {
      {"empty key", "", "", "v"},
      {"key with \";\"", "", "A;B", "v"},
      {"key with a line end", "", "A\n", "v"},
      {"value with a zero byte", "", "PASS", std::string("a\0b", 3)},
      {"lone last line would pair with the new one", ";SYSTEM;\n1;NET8;\n;SYSTEM;\n", "PASS", "v"},
  };
  for (const auto& c : cases) {
    std::string text = c.before;
    SetOutcome outcome;
    std::string error;
    EXPECT_EQ(SetSettingInText(&text, c.key, c.value, &outcome, &error), -1) << c.name;
    EXPECT_EQ(text, c.before) << c.name;
    EXPECT_NE(error, "") << c.name;
    EXPECT_EQ(error.find(c.value.empty() ? "\x01" : c.value), std::string::npos) << c.name;
  }
}

TEST(ListSettings, ShowsEveryPairAndMasksThePassword) {
  const std::string text = ";SYSTEM;\n1;NET8;" + Hex("nowhere") + "\n;SYSTEM;\n2;LOGIN;" +
                           Hex("scott\tx") + "\n;SYSTEM;\n3;PASS;" + Hex("tiger") +
                           "\n;OTHER;\n4;DB_SYSTEM;0123\n";
  EXPECT_EQ(ListSettings(text),
            "1\tSYSTEM\tNET8\tnowhere\n"
            "2\tSYSTEM\tLOGIN\tscott\\tx\n"
            "3\tSYSTEM\tPASS\t********\n"
            "4\tOTHER\tDB_SYSTEM\t(invalid value)\n");
}

TEST(ListSettings, MasksAPairThatAnswersThePasswordLookup) {
  // Number 0: the run takes this pair for PASS too.
  const std::string text = ";SYSTEM;\n0;LOGIN;" + Hex("tiger") + "\n";
  EXPECT_EQ(ListSettings(text), "0\tSYSTEM\tLOGIN\t********\n");
}

}  // namespace
}  // namespace kelvador
