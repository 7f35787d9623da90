// Whole extractions through the built kelvador on every database route: the
// download file, standard output and the exit status, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/installation.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

// Rows of terminal T1 give four records (two identical); T2 gives one; T9 none.
const char kItemsScript[] = R"sql(
CREATE TABLE ITEMS (ID INTEGER, NAME VARCHAR(120), AMOUNT INTEGER, NOTE VARCHAR(40),
                    CODE VARCHAR(10), TERM VARCHAR(10));
INSERT INTO ITEMS VALUES (1, 'Zeta', 42, 'note a', '  z1', 'T1');
INSERT INTO ITEMS VALUES (2, 'Alpha', -12, NULL, 'a2 ', 'T1');
INSERT INTO ITEMS VALUES (3, 'Ölbau', 7, 'x', ' ö', 'T1');
INSERT INTO ITEMS VALUES (4, 'Alpha', -12, NULL, 'a2', 'T1');
INSERT INTO ITEMS VALUES (5, 'Other', 1, 'n', 'c', 'T2');
)sql";

// NAME CHAR 8, AMOUNT DEC 5, NOTE TXT 6, CODE CHAR 3.
const char kLayout[] =
    "FELD01=NAME\nFTYP01=CHAR\nFLEN01=8\n"
    "FELD02=AMOUNT\nFTYP02=DEC\nFLEN02=5\n"
    "FELD03=NOTE\nFTYP03=TXT\nFLEN03=6\n"
    "FELD04=CODE\nFTYP04=CHAR\nFLEN04=3\n";

// The T1 records in unsigned byte order: "Ö" (0xC3 0x96) sorts after "Z".
const char kT1Records[] =
    "Alpha   00-12      a2 "
    "Alpha   00-12      a2 "
    "Zeta    00042note az1 "
    "Ölbau  00007x     ö ";

std::string Section(const std::string& name, const std::string& statement_lines) {
  return "[" + name + "]\n" + statement_lines + kLayout;
}

const char kItemsQuery[] =
    "SQL001=SELECT NAME, AMOUNT, NOTE, CODE\n"
    "SQL002=FROM ITEMS\n"
    "SQL003=WHERE TERM = '$parm01'\n"
    "SQL004=ORDER BY ID\n";

class Extraction : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    route_ = MakeRoute(GetParam());
    const std::string unavailable = route_->Unavailable();
    if (!unavailable.empty()) GTEST_SKIP() << unavailable;
  }

  // Fills the database and writes the definition file with the given sections.
  void Prepare(const std::string& definition, const std::string& script = kItemsScript) {
    environment_ = route_->Prepare(installation_, script);
    WriteWholeFile(installation_.InWork("KELVADOR.TEST.INI"), definition);
  }

  ProcessResult Run(const std::vector<std::string>& arguments) {
    return installation_.RunKelvador(arguments, environment_);
  }

  std::string Target(const std::string& name = "out.txt") {
    return ReadWholeFile(installation_.InWork(name));
  }

  Installation installation_;
  std::unique_ptr<Route> route_;
  std::map<std::string, std::string> environment_;
};

TEST_P(Extraction, WritesSortedFixedWidthRecords) {
  Prepare(Section("KVDNL31P", kItemsQuery));
  const ProcessResult result = Run({"KVDNL31P", "T1", "out.txt", "1"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "4 Saetze kopiert in Datei out.txt \n");
  EXPECT_EQ(Target(), kT1Records);
}

TEST_P(Extraction, ReplaceEmptiesAndAppendExtendsAnExistingFile) {
  Prepare(Section("KVDNL31P", kItemsQuery));
  struct Case {
    std::string flag;
    std::string want;
  };
  const Case cases[] = {
      {"1", kT1Records},
      {"0", std::string("OLD CONTENT\n") + kT1Records},
  };
  for (const auto& c : cases) {
    WriteWholeFile(installation_.InWork("out.txt"), "OLD CONTENT\n");
    const ProcessResult result = Run({"KVDNL31P", "T1", "out.txt", c.flag});
    EXPECT_EQ(result.out, "4 Saetze kopiert in Datei out.txt \n") << "flag " << c.flag;
    EXPECT_EQ(Target(), c.want) << "flag " << c.flag;
  }
}

TEST_P(Extraction, AQueryWithoutRowsLeavesTheTargetUntouched) {
  Prepare(Section("KVDNL31P", kItemsQuery));
  WriteWholeFile(installation_.InWork("out.txt"), "KEEP");
  const ProcessResult result = Run({"KVDNL31P", "T9", "out.txt", "1"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "0 Saetze kopiert in Datei out.txt \n");
  EXPECT_EQ(Target(), "KEEP");
  const ProcessResult fresh = Run({"KVDNL31P", "T9", "new.txt", "1"});
  EXPECT_EQ(fresh.out, "0 Saetze kopiert in Datei new.txt \n");
  EXPECT_FALSE(FileExists(installation_.InWork("new.txt")));
}

TEST_P(Extraction, AnUnknownSectionEndsWithStatusThreeAndNoOutput) {
  Prepare(Section("KVDNL31P", kItemsQuery));
  const ProcessResult result = Run({"NOSUCH", "T1", "out.txt", "1"});
  EXPECT_EQ(result.exit_status, 3);
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(FileExists(installation_.InWork("out.txt")));
}

TEST_P(Extraction, TheTraceShowsTheStatementBeforeThePlaceholderIsReplaced) {
  Prepare(Section("KVDNL31P", kItemsQuery));
  const ProcessResult result = Run({"KVDNL31P", "T2", "out.txt", "1", "/D"});
  EXPECT_EQ(result.out,
            " Aktiviert Debugger\n"
            "Str GetIniValues\n"
            "  >>>>> SQL-Statement <<<<<\n"
            "  ' SELECT NAME, AMOUNT, NOTE, CODE FROM ITEMS WHERE TERM = '$parm01' ORDER BY ID '\n"
            "End GetIniValues\n"
            "Str WriteFile\n"
            "End WriteFile\n"
            "1 Saetze kopiert in Datei out.txt \n");
  EXPECT_EQ(Target(), "Other   00001n     c  ");
}

TEST_P(Extraction, FailuresAreReportedInTheSummaryWithExitStatusZero) {
  struct Case {
    std::string name;
    std::string statement;
    std::string target;
    std::string want_out;
    std::string want_file;  // content of the target afterwards ("" none)
  };
  const std::string long_item = std::string(96, 'x');
  const Case cases[] = {
      {"missing table", "SQL001=SELECT NAME FROM NO_SUCH_TABLE\n", "out.txt",
       "OpenQuery_Status: -942\n0 Saetze kopiert in Datei out.txt \n", ""},
      {"missing column", "SQL001=SELECT NO_SUCH_COLUMN FROM ITEMS\n", "out.txt",
       "OpenQuery_Status: -904\n0 Saetze kopiert in Datei out.txt \n", ""},
      {"target folder missing", kItemsQuery, "missing/out.txt",
       "Ausgabedatei konnte nicht geoeffnet \n0 Saetze kopiert in Datei missing/out.txt \n", ""},
      {"item over 100 characters after two rows",
       "SQL001=SELECT CASE WHEN ID = 3 THEN NAME || '" + long_item + "' ELSE NAME END,\n"
       "SQL002=AMOUNT, NOTE, CODE FROM ITEMS WHERE TERM = 'T1' ORDER BY ID\n",
       "out.txt", "Fehler Lesen in Leseschleife -14062 Saetze kopiert in Datei out.txt \n",
       "Alpha   00-12      a2 Zeta    00042note az1 "},
  };
  std::string definition;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    definition += Section("CASE" + std::to_string(i), cases[i].statement);
  }
  Prepare(definition);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    std::filesystem::remove(installation_.InWork("out.txt"));
    const ProcessResult result = Run({"CASE" + std::to_string(i), "T1", c.target, "1"});
    EXPECT_EQ(result.exit_status, 0) << c.name;
    EXPECT_EQ(result.out, c.want_out) << c.name;
    EXPECT_EQ(Target(), c.want_file) << c.name;
  }
}

TEST_P(Extraction, AStatementThatIsNotAQueryIsRefusedAndChangesNothing) {
  Prepare(Section("KVDNL31P", "SQL001=DELETE FROM ITEMS\n"));
  const ProcessResult result = Run({"KVDNL31P", "T1", "out.txt", "1"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out.rfind("OpenQuery_Status: -", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("\n0 Saetze kopiert in Datei out.txt \n"), std::string::npos);
  EXPECT_EQ(route_->QueryScalar("SELECT COUNT(*) FROM ITEMS"), "5");
}

INSTANTIATE_TEST_SUITE_P(Routes, Extraction, ::testing::ValuesIn(RouteNames()),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (c == '-') c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace kelvador::testing
