// Settings and definition files that are missing, unreadable or folders, and
// download files that cannot be written: every run ends with its documented
// message and status, never with a crash or a sanitizer report. Permission
// bits mean nothing to root, so those cases run as the user nobody.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "faults/fault_support.h"
#include "support/installation.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

const char kScript[] = "CREATE TABLE T (X TEXT); INSERT INTO T VALUES ('b'), ('a');";
const char kDefinition[] = "[S]\nSQL001=SELECT X FROM T\nFELD01=X\nFTYP01=CHAR\nFLEN01=2\n";
const char kConnectFailed[] = "dbConnect_Status: -[0-9]+\n";
const char kNotOpened[] = "Ausgabedatei konnte nicht geoeffnet \n0 Saetze kopiert in Datei ";

struct Case {
  std::string name;
  std::function<void(const Installation&)> spoil;  // the fault, after a working setup
  std::string target = "out.txt";
  bool unprivileged = false;
  int exit_status = 0;
  std::string out_pattern;  // the whole standard output, as a regular expression
};

// Test names carry the case; the parameter prints as its name too.
void PrintTo(const Case& fault, std::ostream* out) { *out << fault.name; }

void MakeUnreadable(const std::string& path) { ::chmod(path.c_str(), 0); }

std::string Definition(const Installation& installation) {
  return installation.InWork("KELVADOR.TEST.INI");
}

std::string Quoted(const std::string& text) {
  return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"SettingsFileMissing",
       [](const Installation& i) { std::filesystem::remove(i.settings_file()); }, "out.txt", false,
       0, kConnectFailed},
      {"SettingsFileUnreadable", [](const Installation& i) { MakeUnreadable(i.settings_file()); },
       "out.txt", true, 0, kConnectFailed},
      {"SettingsFileIsAFolder",
       [](const Installation& i) {
         std::filesystem::remove(i.settings_file());
         std::filesystem::create_directory(i.settings_file());
       },
       "out.txt", false, 0, kConnectFailed},
      {"SettingsFileIsBinaryNoise",
       [](const Installation& i) {
         WriteWholeFile(i.settings_file(), std::string("\x00\xff;\n\x01;;\n;;;\r\n\xfe", 14));
       },
       "out.txt", false, 0,
       std::string("(Ungueltiger Wert fuer [A-Z0-9_]+ in Einstellungsdatei\n)*") + kConnectFailed},
      {"DefinitionFileMissing",
       [](const Installation& i) { std::filesystem::remove(Definition(i)); }, "out.txt", false, 3,
       ""},
      {"DefinitionFileUnreadable", [](const Installation& i) { MakeUnreadable(Definition(i)); },
       "out.txt", true, 3, ""},
      {"DefinitionFileIsAFolder",
       [](const Installation& i) {
         std::filesystem::remove(Definition(i));
         std::filesystem::create_directory(Definition(i));
       },
       "out.txt", false, 3, ""},
      {"DefinitionFileIsBinaryNoise",
       [](const Installation& i) {
         WriteWholeFile(Definition(i), std::string("[S\x00]\n\xff=\x01\nSQL001\n[[\n=", 20));
       },
       "out.txt", false, 3, ""},
      {"TargetInAReadOnlyFolder",
       [](const Installation& i) {
         // The file itself may be written; its folder takes no temporary file.
         WriteWholeFile(i.InWork("ro/out.txt"), "old");
         ::chown(i.InWork("ro/out.txt").c_str(), kUnprivilegedId, kUnprivilegedId);
         ::chmod(i.InWork("ro").c_str(), 0555);
       },
       "ro/out.txt", true, 0, Quoted(kNotOpened) + "ro/out\\.txt \n"},
      {"TargetFileReadOnly",
       [](const Installation& i) {
         WriteWholeFile(i.InWork("out.txt"), "old");
         ::chmod(i.InWork("out.txt").c_str(), 0444);
       },
       "out.txt", true, 0, Quoted(kNotOpened) + "out\\.txt \n"},
      {"TargetInAMissingFolder", [](const Installation&) {}, "none/out.txt", false, 0,
       Quoted(kNotOpened) + "none/out\\.txt \n"},
      {"TargetIsAFolder",
       [](const Installation& i) { std::filesystem::create_directory(i.InWork("out.txt")); },
       "out.txt", false, 0, Quoted(kNotOpened) + "out\\.txt \n"},
      {"TargetNameEmpty", [](const Installation&) {}, "", false, 0, Quoted(kNotOpened) + " \n"},
  };
  return cases;
}

class BadFiles : public ::testing::TestWithParam<Case> {};

TEST_P(BadFiles, EndWithTheirMessageAndNoCrash) {
  const Case& fault = GetParam();
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  WriteWholeFile(Definition(installation), kDefinition);
  if (fault.unprivileged) GiveToUnprivilegedUser(installation);
  fault.spoil(installation);

  const std::vector<std::string> arguments{"S", "T1", fault.target, "1"};
  const ProcessResult result = fault.unprivileged ? RunKelvadorUnprivileged(installation, arguments)
                                                  : installation.RunKelvador(arguments);
  EXPECT_EQ(result.exit_status, fault.exit_status) << result.out << result.err;
  EXPECT_TRUE(std::regex_match(result.out, std::regex(fault.out_pattern)))
      << "output: " << result.out;
  EXPECT_EQ(result.err, "");
  if (fault.name.rfind("Target", 0) == 0 && FileExists(installation.InWork(fault.target)) &&
      !std::filesystem::is_directory(installation.InWork(fault.target))) {
    EXPECT_EQ(ReadWholeFile(installation.InWork(fault.target)), "old");
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, BadFiles, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace kelvador::testing
