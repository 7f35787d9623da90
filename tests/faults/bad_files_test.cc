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
#include <string>
#include <vector>

#include "faults/fault_support.h"
#include "support/installation.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

const char kScript[] = "CREATE TABLE T (X TEXT); INSERT INTO T VALUES ('b'), ('a');";
const char kDefinition[] = "[S]\nSQL001=SELECT X FROM T\nFELD01=X\nFTYP01=CHAR\nFLEN01=2\n";
// Stands for "dbConnect_Status: -N\n", after any notes on invalid settings values.
const char kConnectFailed[] = "<connect failed>";
const char kNotOpened[] = "Ausgabedatei konnte nicht geoeffnet \n0 Saetze kopiert in Datei ";

struct Case {
  std::string name;
  std::function<void(const Installation&)> spoil;  // the fault, after a working setup
  std::string target = "out.txt";
  bool unprivileged = false;
  int exit_status = 0;
  std::string out;  // the whole standard output, or kConnectFailed
};

// Test names carry the case; the parameter prints as its name too.
void PrintTo(const Case& fault, std::ostream* out) { *out << fault.name; }

void MakeUnreadable(const std::string& path) { ::chmod(path.c_str(), 0); }

std::string Definition(const Installation& installation) {
  return installation.InWork("KELVADOR.TEST.INI");
}

// Whether `out` is what a run prints when its connect fails: notes on invalid
// settings values, then the connect status, a negative number.
bool IsConnectFailure(std::string out) {
  const std::string note = "Ungueltiger Wert fuer ";
  while (out.compare(0, note.size(), note) == 0) out.erase(0, out.find('\n') + 1);
  const std::string status = "dbConnect_Status: -";
  if (out.compare(0, status.size(), status) != 0 || out.size() < status.size() + 2) return false;
  const std::string digits = out.substr(status.size(), out.size() - status.size() - 1);
  return out.back() == '\n' && digits.find_first_not_of("0123456789") == std::string::npos;
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
       "out.txt", false, 0, kConnectFailed},
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
       "ro/out.txt", true, 0, std::string(kNotOpened) + "ro/out.txt \n"},
      {"TargetFileReadOnly",
       [](const Installation& i) {
         WriteWholeFile(i.InWork("out.txt"), "old");
         ::chmod(i.InWork("out.txt").c_str(), 0444);
       },
       "out.txt", true, 0, std::string(kNotOpened) + "out.txt \n"},
      {"TargetInAMissingFolder", [](const Installation&) {}, "none/out.txt", false, 0,
       std::string(kNotOpened) + "none/out.txt \n"},
      {"TargetIsAFolder",
       [](const Installation& i) { std::filesystem::create_directory(i.InWork("out.txt")); },
       "out.txt", false, 0, std::string(kNotOpened) + "out.txt \n"},
      {"TargetNameEmpty", [](const Installation&) {}, "", false, 0,
       std::string(kNotOpened) + " \n"},
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
  if (fault.out == kConnectFailed) {
    EXPECT_TRUE(IsConnectFailure(result.out)) << "output: " << result.out;
  } else {
    EXPECT_EQ(result.out, fault.out);
  }
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
