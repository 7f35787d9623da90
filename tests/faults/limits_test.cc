// Inputs at and just past every limit: names of 31 and 32 characters, 999 and
// 1000 statement lines, items of 100 and 101 characters, 30 and 31 select-list
// items, a settings line of 399 and 400 characters, and records wider than a
// record store ever was. Each gives its documented outcome, never a crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/installation.h"
#include "support/refused_output.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

const char kScript[] = "CREATE TABLE T (X TEXT); INSERT INTO T VALUES ('a');";
const std::string kName31(31, 'N');
const std::string kName32(32, 'N');

// A section S whose statement is `select` with column 1 a CHAR of `width`.
std::string Section(const std::string& name, const std::string& select, int width = 3) {
  return "[" + name + "]\nSQL001=" + select +
         "\nFELD01=X\nFTYP01=CHAR\nFLEN01=" + std::to_string(width) + "\n";
}

// The statement spread over `lines` lines: the select, comment lines, FROM T,
// and a last line that would remove every row if it were read.
std::string ManyLines(int lines) {
  std::string text = "[S]\nSQL001=SELECT X\n";
  char key[16];
  for (int line = 2; line < lines - 1; ++line) {
    std::snprintf(key, sizeof key, "SQL%03d", line);
    text += std::string(key) + "=/* line " + std::to_string(line) + " */\n";
  }
  std::snprintf(key, sizeof key, "SQL%03d", lines - 1);
  text += std::string(key) + "=FROM T\n";
  std::snprintf(key, sizeof key, "SQL%03d", lines);
  text += std::string(key) + "=WHERE X = 'none'\n";
  return text + "FELD01=X\nFTYP01=CHAR\nFLEN01=3\n";
}

std::string Items(int count) {
  std::string select = "SELECT X";
  for (int item = 2; item <= count; ++item) select += ", " + std::to_string(item);
  return select + " FROM T";
}

// An item of `length` characters, then one of 3.
std::string LongItem(int length) {
  return "SELECT replace(printf('%" + std::to_string(length) +
         "s', ''), ' ', 'v') UNION ALL SELECT 'end'";
}

// Thirty columns of 999 characters: records of 29970 characters.
std::string WidestRecord() {
  std::string text = "[S]\nSQL001=SELECT X FROM T\n";
  for (int column = 1; column <= 30; ++column) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", column);
    text += std::string("FELD") + number + "=C\nFTYP" + number + "=DEC\nFLEN" + number + "=999\n";
  }
  return text;
}

struct Case {
  std::string name;
  std::string definition;
  std::vector<std::string> arguments;
  int exit_status;
  std::string out;
  std::string content;  // of out.txt afterwards; "-" when it must not exist
  std::function<void(Installation&)> settings = nullptr;
};

void PrintTo(const Case& limit, std::ostream* out) { *out << limit.name; }

// DB_SYSTEM written by hand with its number padded, so that line B of its pair
// has exactly `line_length` characters; the value (190 characters) then names
// the definition file.
std::string LongDbSystem() { return "D" + std::string(189, 'b'); }
std::function<void(Installation&)> DbSystemLine(std::size_t line_length) {
  return [line_length](Installation& installation) {
    const ProcessResult hex = RunProgram(BuiltProgram("kelvador-settings"),
                                         {"encrypt", LongDbSystem()}, installation.root());
    std::string value = hex.out;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    const std::string rest = ";DB_SYSTEM;" + value;
    ASSERT_LT(rest.size(), line_length);
    const std::string number = std::string(line_length - rest.size() - 1, '0') + "9";
    std::string text = ";SYSTEM;\n" + number + rest + "\n";
    text += ReadWholeFile(installation.settings_file());  // the route's own pairs come after
    WriteWholeFile(installation.settings_file(), text);
    const std::string definition = ReadWholeFile(installation.InWork("KELVADOR.TEST.INI"));
    WriteWholeFile(installation.InWork("KELVADOR." + LongDbSystem() + ".INI"), definition);
    std::filesystem::remove(installation.InWork("KELVADOR.TEST.INI"));
  };
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"SectionName31",
       Section(kName31, "SELECT X FROM T"),
       {kName31, "T1", "out.txt", "1"},
       0,
       "1 Saetze kopiert in Datei out.txt \n",
       "a  "},
      {"SectionName32",
       Section(kName32, "SELECT X FROM T"),
       {kName32, "T1", "out.txt", "1"},
       4,
       RefusedOutput("Sektionsname zu lang (max. 31 Zeichen)\n"),
       "-"},
      {"TerminalName31",
       Section("S", "SELECT '$parm01' FROM T", 40),
       {"S", kName31, "out.txt", "1"},
       0,
       "1 Saetze kopiert in Datei out.txt \n",
       kName31 + std::string(9, ' ')},
      {"TerminalName32",
       Section("S", "SELECT '$parm01' FROM T", 40),
       {"S", kName32, "out.txt", "1"},
       4,
       RefusedOutput("Terminalname zu lang (max. 31 Zeichen)\n"),
       "-"},
      {"StatementLines999",
       ManyLines(999),
       {"S", "T1", "out.txt", "1"},
       0,
       "0 Saetze kopiert in Datei out.txt \n",
       "-"},
      // Keys have three digits: SQL1000 is never read, so its WHERE does not apply.
      {"StatementLines1000",
       ManyLines(1000),
       {"S", "T1", "out.txt", "1"},
       0,
       "1 Saetze kopiert in Datei out.txt \n",
       "a  "},
      {"Item100Characters",
       Section("S", LongItem(100), 100),
       {"S", "T1", "out.txt", "1"},
       0,
       "2 Saetze kopiert in Datei out.txt \n",
       "end" + std::string(97, ' ') + std::string(100, 'v')},
      // The item does not fit its slot: the fetch fails before the row is delivered.
      {"Item101Characters",
       Section("S", LongItem(101), 100),
       {"S", "T1", "out.txt", "1"},
       0,
       "Fehler Lesen in Leseschleife -14060 Saetze kopiert in Datei out.txt \n",
       "-"},
      {"SelectItems30",
       Section("S", Items(30)),
       {"S", "T1", "out.txt", "1"},
       0,
       "1 Saetze kopiert in Datei out.txt \n",
       "a  "},
      {"SelectItems31",
       Section("S", Items(31)),
       {"S", "T1", "out.txt", "1"},
       0,
       "OpenQuery_Status: -1007\n0 Saetze kopiert in Datei out.txt \n",
       "-"},
      {"RecordOf29970Characters",
       WidestRecord(),
       {"S", "T1", "out.txt", "1"},
       0,
       "1 Saetze kopiert in Datei out.txt \n",
       std::string(998, '0') + "a" + std::string(29 * 999, '0')},
      {"SettingsLine399",
       Section("S", "SELECT X FROM T"),
       {"S", "T1", "out.txt", "1"},
       0,
       "1 Saetze kopiert in Datei out.txt \n",
       "a  ",
       DbSystemLine(399)},
      {"SettingsLine400",
       Section("S", "SELECT X FROM T"),
       {"S", "T1", "out.txt", "1"},
       0,
       "1 Saetze kopiert in Datei out.txt \n",
       "a  ",
       DbSystemLine(400)},
  };
  return cases;
}

class Limits : public ::testing::TestWithParam<Case> {};

TEST_P(Limits, GiveTheirDocumentedOutcome) {
  const Case& limit = GetParam();
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), limit.definition);
  if (limit.settings) limit.settings(installation);

  const ProcessResult result = installation.RunKelvador(limit.arguments);
  EXPECT_EQ(result.exit_status, limit.exit_status) << result.err;
  EXPECT_EQ(result.out, limit.out);
  EXPECT_EQ(result.err, "");
  if (limit.content == "-") {
    EXPECT_FALSE(FileExists(installation.InWork("out.txt")));
  } else {
    EXPECT_EQ(ReadWholeFile(installation.InWork("out.txt")), limit.content);
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, Limits, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace kelvador::testing
