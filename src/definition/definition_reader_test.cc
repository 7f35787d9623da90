#include "definition/definition_reader.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "definition/profile_text.h"

namespace kelvador {
namespace {

struct Outcome {
  int result;
  std::string statement;
  std::string trace;  // standard output
};

Outcome Read(RunState& run, const std::string& section, const std::string& file_text) {
  const ProfileText source(file_text);
  testing::internal::CaptureStdout();
  Outcome outcome;
  outcome.result = ReadDefinition(run, section, source);
  outcome.trace = testing::internal::GetCapturedStdout();
  outcome.statement = run.statement;
  return outcome;
}

Outcome Read(const std::string& file_text, const std::string& terminal_name = "T1",
             int debug_flag = 0) {
  RunState run;
  run.arguments.terminal_name = terminal_name;
  run.arguments.debug_flag = debug_flag;
  return Read(run, "SEC", file_text);
}

std::string Lines(int count, char fill) {
  std::string text;
  for (int line = 1; line <= count; ++line) {
    char key[16];
    std::snprintf(key, sizeof key, "SQL%03d=", line);
    text += key + std::string(199, fill) + "\n";
  }
  return text;
}

TEST(ReadDefinition, JoinsStatementLinesWithOneBlankAroundEach) {
  struct Case {
    std::string file_text;
    int result;
    std::string statement;
  };
  const Case cases[] = {
      {"[SEC]\nSQL001=SELECT A, B\nSQL002=FROM T\n", 0, " SELECT A, B FROM T "},
      {"[SEC]\nSQL001=SELECT 1\n", 0, " SELECT 1 "},
      // Lines after a gap are not read.
      {"[SEC]\nSQL001=SELECT A\nSQL003=FROM T\n", 0, " SELECT A "},
      // An empty line, or one written without "=", ends the statement.
      {"[SEC]\nSQL001=SELECT A\nSQL002=\nSQL003=FROM T\n", 0, " SELECT A "},
      {"[SEC]\nSQL001=SELECT A\nSQL002\nSQL002=FROM T\n", 0, " SELECT A "},
      // Keys may come in any order; blanks inside lines stay.
      {"[SEC]\nsql002=  FROM  T\nSQL001=SELECT A\n", 0, " SELECT A FROM  T "},
      // A line keeps 199 characters.
      {"[SEC]\nSQL001=" + std::string(250, 'x') + "\n", 0, " " + std::string(199, 'x') + " "},
      // No statement: missing section, missing or empty SQL001.
      {"[OTHER]\nSQL001=SELECT 1\n", 3, " "},
      {"[SEC]\nSQL002=SELECT 1\nFELD01=A\n", 3, " "},
      {"[SEC]\nSQL001=\n", 3, " "},
      {"[SEC]\nSQL001=\"\"\n", 3, " "},
      {"", 3, " "},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Read(c.file_text);
    EXPECT_EQ(outcome.result, c.result) << c.file_text;
    EXPECT_EQ(outcome.statement, c.statement) << c.file_text;
    EXPECT_EQ(outcome.trace, "") << c.file_text;
  }
}

TEST(ReadDefinition, KeepsStatementsOfAnyLengthAndStopsAfterLine999) {
  // 999 full lines make about 200 000 characters, far beyond any fixed store;
  // a key SQL1000 is never asked for.
  const Outcome outcome = Read("[SEC]\n" + Lines(999, 'x') + "SQL1000=LOST\n");
  ASSERT_EQ(outcome.result, 0);
  std::string want;
  for (int line = 0; line < 999; ++line) want += " " + std::string(199, 'x');
  want += " ";
  EXPECT_EQ(outcome.statement.size(), want.size());
  EXPECT_EQ(outcome.statement, want);
}

TEST(ReadDefinition, ReadsTheColumnLayout) {
  RunState run;
  run.record_count = 7;
  ClearColumnLayout(run);
  EXPECT_EQ(run.record_count, 0);
  const std::string file_text =
      "[SEC]\nSQL001=SELECT A FROM T\n"
      "FELD01=Name\nFTYP01=CHAR\nFLEN01=10\n"
      "FELD02=" +
      std::string(150, 'n') +
      "\nFTYP02=TEXTX\nFLEN02=1234\n"
      "FTYP03=char\nFLEN03=12x\n"
      "FELD04=x\nFLEN04=abc\n"
      "FELD05=x\nFLEN05=-5\n"
      "FELD06=x\nFLEN06= +7\n"
      "FELD07=x\nFLEN07=\"42\"\n"
      "FELD30=Last\nFTYP30=DEC\nFLEN30=999\n";
  const Outcome outcome = Read(run, "SEC", file_text);
  ASSERT_EQ(outcome.result, 0);
  struct Want {
    int column;
    std::string name;
    std::string format;
    std::int32_t width;
  };
  const Want wants[] = {
      {1, "Name", "CHAR", 10},
      {2, std::string(99, 'n'), "TEXT", 123},  // cut to 99, 4 and 3 characters
      {3, "", "char", 12},                     // lower case stays as read
      {4, "x", "", 0},                         // no digits give 0
      {5, "x", "", -5},                        // kept; the formatter treats it as 0
      {6, "x", "", 7},
      {7, "x", "", 42},
      {8, "", "", 0},  // missing keys
      {30, "Last", "DEC", 999},
  };
  for (const Want& w : wants) {
    const ColumnSpec& spec = run.layout[w.column - 1];
    EXPECT_EQ(spec.name, w.name) << "column " << w.column;
    EXPECT_EQ(spec.format, w.format) << "column " << w.column;
    EXPECT_EQ(spec.width, w.width) << "column " << w.column;
  }
}

TEST(ReadDefinition, ReplacesEveryPlaceholderByTheTerminalName) {
  struct Case {
    std::string line;
    std::string terminal_name;
    std::string statement;
  };
  const Case cases[] = {
      {"WHERE T = '$parm01' OR U = '$parm01'", "T1", " WHERE T = 'T1' OR U = 'T1' "},
      // The inserted name is not searched again.
      {"WHERE T = '$parm01' OR U = '$parm01'", "$parm01X",
       " WHERE T = '$parm01X' OR U = '$parm01X' "},
      {"X = '$parm01'", "$parm01", " X = '$parm01' "},
      {"X = '$parm01$parm01'", "T1", " X = 'T1T1' "},
      {"X = '$parm01$parm01'", "$parm01", " X = '$parm01$parm01' "},
      {"X = '$parm01'", "", " X = '' "},
      {"X = '$$parm01parm01'", "T", " X = '$Tparm01' "},
      // Exact and case-sensitive.
      {"X = '$PARM01' OR Y = '$parm1' OR Z = '$parm012'", "T1",
       " X = '$PARM01' OR Y = '$parm1' OR Z = 'T12' "},
  };
  for (const Case& c : cases) {
    const Outcome outcome = Read("[SEC]\nSQL001=" + c.line + "\n", c.terminal_name);
    EXPECT_EQ(outcome.result, 0) << c.line << " / " << c.terminal_name;
    EXPECT_EQ(outcome.statement, c.statement) << c.line << " / " << c.terminal_name;
  }
}

TEST(ReadDefinition, ReplacesPlaceholdersInStatementsOfAnyLength) {
  std::string file_text = "[SEC]\n";
  for (int line = 1; line <= 100; ++line) {
    char key[16];
    std::snprintf(key, sizeof key, "SQL%03d=", line);
    file_text += key + std::string(180, 'x') + "'$parm01'\n";
  }
  const std::string terminal_name(31, 'T');
  const Outcome outcome = Read(file_text, terminal_name);
  ASSERT_EQ(outcome.result, 0);
  std::string want;
  for (int line = 0; line < 100; ++line) {
    want += " " + std::string(180, 'x') + "'" + terminal_name + "'";
  }
  EXPECT_EQ(outcome.statement, want + " ");
}

TEST(ReadDefinition, DebugTraceShowsTheStatementBeforeReplacement) {
  const Outcome read = Read("[SEC]\nSQL001=SELECT A FROM T\nSQL002=WHERE T = '$parm01'\n", "T1", 1);
  EXPECT_EQ(read.result, 0);
  EXPECT_EQ(read.trace,
            "Str GetIniValues\n"
            "  >>>>> SQL-Statement <<<<<\n"
            "  ' SELECT A FROM T WHERE T = '$parm01' '\n"
            "End GetIniValues\n");
  EXPECT_EQ(read.statement, " SELECT A FROM T WHERE T = 'T1' ");

  const Outcome missing = Read("[OTHER]\nSQL001=SELECT 1\n", "T1", 1);
  EXPECT_EQ(missing.result, 3);
  EXPECT_EQ(missing.trace, "Str GetIniValues\n");
}

// A temporary folder, removed again at the end of the test.
class DefinitionFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string name = (std::filesystem::temp_directory_path() / "definition-XXXXXX").string();
    ASSERT_NE(::mkdtemp(name.data()), nullptr);
    folder_ = name;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Write(const std::string& file_name, const std::string& text) {
    std::ofstream(folder_ / file_name, std::ios::binary) << text;
  }

  // What the definition reader finds for DB_SYSTEM `db_system` in the folder.
  Outcome ReadFolder(const std::string& db_system) {
    const std::unique_ptr<ProfileSource> source =
        OpenProfileFile(DefinitionFilePath(folder_.string(), db_system));
    RunState run;
    run.arguments.terminal_name = "T1";
    return Read(run, "SEC", *source);
  }

  Outcome Read(RunState& run, const std::string& section, const ProfileSource& source) {
    Outcome outcome;
    outcome.result = ReadDefinition(run, section, source);
    outcome.statement = run.statement;
    return outcome;
  }

  std::filesystem::path folder_;
};

TEST_F(DefinitionFileTest, NameHoldsTheDatabaseSystem) {
  EXPECT_EQ(DefinitionFilePath(".", "ORA"), "./KELVADOR.ORA.INI");
  Write("KELVADOR.SQLITE.INI", "[SEC]\r\nSQL001=SELECT 1\r\n");
  EXPECT_EQ(ReadFolder("SQLITE").statement, " SELECT 1 ");
  EXPECT_EQ(ReadFolder("ORA").result, 3);  // missing file
  EXPECT_EQ(ReadFolder("").result, 3);
}

TEST_F(DefinitionFileTest, ExactNameFirstThenAnyLetterCase) {
  Write("kelvador.sqlite.ini", "[SEC]\nSQL001=SELECT 'lower'\n");
  EXPECT_EQ(ReadFolder("SQLITE").statement, " SELECT 'lower' ");
  Write("KELVADOR.SQLITE.INI", "[SEC]\nSQL001=SELECT 'upper'\n");
  Write("KELVADOR.Sqlite.INI", "[SEC]\nSQL001=SELECT 'mixed'\n");
  EXPECT_EQ(ReadFolder("SQLITE").statement, " SELECT 'upper' ");
  EXPECT_EQ(ReadFolder("Sqlite").statement, " SELECT 'mixed' ");
  // Without an exact match the first name in byte order wins.
  EXPECT_EQ(ReadFolder("sqlite").statement, " SELECT 'upper' ");
}

TEST_F(DefinitionFileTest, DatabaseSystemOfAnyLength) {
  const std::string db_system(100, 'D');
  Write("KELVADOR." + db_system + ".INI", "[SEC]\nSQL001=SELECT 1\n");
  EXPECT_EQ(ReadFolder(db_system).statement, " SELECT 1 ");
}

TEST_F(DefinitionFileTest, GetIniValuesReadsTheWorkingDirectory) {
  Write("KELVADOR.SQLITE.INI",
        "[KVDNL31P]\nSQL001=SELECT A FROM T WHERE T = '$parm01'\nFELD01=A\n");
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder_);
  RunState run;
  run.settings.db_system = "SQLITE";
  run.arguments.terminal_name = "ZutCtrl";
  ClearColumnLayout(run);
  const int result = GetIniValues(run, "KVDNL31P");
  const int missing = GetIniValues(run, "NOSUCH");
  std::filesystem::current_path(previous);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(run.layout[0].name, "A");
  EXPECT_EQ(missing, 3);
}

}  // namespace
}  // namespace kelvador
