// What only the embedded SQLite route shows: its own run-time errors, a
// database file that is missing, and installations copied from Windows.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/installation.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

// Rows come back in insertion order (a table scan), so abs() overflows on
// the fourth row, after three rows were delivered.
const char kScript[] = R"sql(
CREATE TABLE NUMS (ID INTEGER, N INTEGER);
INSERT INTO NUMS VALUES (1, 10), (2, -20), (3, 30), (4, -9223372036854775807 - 1), (5, 50);
)sql";

const char kDefinition[] =
    "[ABS]\n"
    "SQL001=SELECT abs(N) FROM NUMS\n"
    "FELD01=N\nFTYP01=DEC\nFLEN01=4\n";

TEST(SqliteRoute, ARunTimeErrorAfterThreeRowsStillWritesThem) {
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), kDefinition);
  const ProcessResult result = installation.RunKelvador({"ABS", "T1", "out.txt", "1"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "Fehler Lesen in Leseschleife -9003 Saetze kopiert in Datei out.txt \n");
  EXPECT_EQ(ReadWholeFile(installation.InWork("out.txt")), "001000200030");
}

TEST(SqliteRoute, AMissingDatabaseFileIsAFailedConnectAndIsNotCreated) {
  Installation installation;
  installation.SetSetting("NET8", "sqlite:../../Files/none.db");
  installation.SetSetting("DB_SYSTEM", "TEST");
  WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), kDefinition);
  const ProcessResult result = installation.RunKelvador({"ABS", "T1", "out.txt", "1"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, "dbConnect_Status: -12154\n");
  EXPECT_FALSE(FileExists(installation.files() + "/none.db"));
}

TEST(SqliteRoute, FileNamesCopiedFromWindowsMatchWhateverTheirCase) {
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  std::filesystem::rename(installation.settings_file(), installation.files() + "/VANTORIUM.INI");
  WriteWholeFile(installation.InWork("kelvador.Test.ini"), kDefinition);
  const ProcessResult result = installation.RunKelvador({"ABS", "T1", "out.txt", "1"});
  EXPECT_EQ(result.out, "Fehler Lesen in Leseschleife -9003 Saetze kopiert in Datei out.txt \n");
}

}  // namespace
}  // namespace kelvador::testing
