// kelvador-settings as an administrator uses it, and kelvador reading what it
// wrote. The password given to the companion must never show in any output.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/installation.h"

namespace kelvador::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kPassword[] = "tiger-Secret";

ProcessResult RunSettings(const Installation& installation, const std::vector<std::string>& words,
                          const std::string& input = {}) {
  return RunProgram(BuiltProgram("kelvador-settings"), words, installation.root(), input);
}

void ExpectNoPassword(const ProcessResult& result, const std::string& what) {
  EXPECT_EQ(result.out.find(kPassword), std::string::npos) << what << ": " << result.out;
  EXPECT_EQ(result.err.find(kPassword), std::string::npos) << what << ": " << result.err;
}

// True for "dbConnect_Status: -N\n" with N a decimal number.
bool IsFailedConnect(const std::string& text) {
  const std::string prefix = "dbConnect_Status: -";
  if (text.rfind(prefix, 0) != 0 || text.size() < prefix.size() + 2 || text.back() != '\n') {
    return false;
  }
  const std::string digits = text.substr(prefix.size(), text.size() - prefix.size() - 1);
  return digits.find_first_not_of("0123456789") == std::string::npos;
}

fs::perms Permissions(const std::string& path) {
  return fs::status(path).permissions() & fs::perms::all;
}

void SetAll(Installation& installation) {
  installation.SetSetting("NET8", "nowhere");
  installation.SetSetting("LOGIN", "scott");
  installation.SetSetting("PASS", kPassword);
  installation.SetSetting("DB_SYSTEM", "ORA");
}

TEST(SettingsTool, SetListAndEncryptAgree) {
  Installation installation;
  SetAll(installation);
  const std::string file = installation.settings_file();
  EXPECT_EQ(Permissions(file), fs::perms::owner_read | fs::perms::owner_write);

  const ProcessResult list = RunSettings(installation, {"list", file});
  EXPECT_EQ(list.exit_status, 0) << list.err;
  EXPECT_EQ(list.out,
            "1\tSYSTEM\tNET8\tnowhere\n"
            "2\tSYSTEM\tLOGIN\tscott\n"
            "3\tSYSTEM\tPASS\t********\n"
            "4\tSYSTEM\tDB_SYSTEM\tORA\n");
  ExpectNoPassword(list, "list");

  const ProcessResult encrypt = RunSettings(installation, {"encrypt", "nowhere"});
  EXPECT_EQ(encrypt.exit_status, 0) << encrypt.err;
  const std::string content = ReadWholeFile(file);
  EXPECT_EQ(content.substr(0, content.find("\n;SYSTEM;")),
            ";SYSTEM;\n1;NET8;" + encrypt.out.substr(0, encrypt.out.size() - 1));
  EXPECT_EQ(encrypt.out, "7A7A7BB4DF7CE07C\n");  // "nowhere", zero-filled to one block

  // The value from standard input loses its line end, also a Windows one.
  const ProcessResult set =
      RunSettings(installation, {"set", file, "PASS"}, std::string(kPassword) + "\r\n");
  EXPECT_EQ(set.exit_status, 0) << set.err;
  ExpectNoPassword(set, "set");
  EXPECT_EQ(RunSettings(installation, {"list", file}).out, list.out);
}

TEST(SettingsTool, ReplacingKeepsOtherLinesLineEndsAndPermissions) {
  Installation installation;
  const std::string file = installation.settings_file();
  installation.SetSetting("NET8", "nowhere");
  installation.SetSetting("PASS", kPassword);
  // The same file as a Windows editor would have saved it.
  std::string crlf;
  for (char c : ReadWholeFile(file)) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  WriteWholeFile(file, crlf);
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  const ProcessResult set = RunSettings(installation, {"set", file, "NET8", "elsewhere"});
  ASSERT_EQ(set.exit_status, 0) << set.err;
  const std::string hex = RunSettings(installation, {"encrypt", "elsewhere"}).out;
  EXPECT_EQ(ReadWholeFile(file), ";SYSTEM;\r\n1;NET8;" + hex.substr(0, hex.size() - 1) +
                                     crlf.substr(crlf.find("\r\n;SYSTEM;")));
  EXPECT_EQ(Permissions(file),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  installation.SetSetting("LOGIN", "scott");
  EXPECT_NE(ReadWholeFile(file).find("\r\n;SYSTEM;\r\n3;LOGIN;"), std::string::npos);
  EXPECT_EQ(RunSettings(installation, {"list", file}).out,
            "1\tSYSTEM\tNET8\telsewhere\n2\tSYSTEM\tPASS\t********\n3\tSYSTEM\tLOGIN\tscott\n");
  // No temporary file is left beside the settings.
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(installation.files())) {
    ++entries;
    EXPECT_EQ(entry.path().filename(), "Vantorium.Ini");
  }
  EXPECT_EQ(entries, 1);
}

TEST(SettingsTool, ErrorsGoToStandardErrorWithANonZeroStatus) {
  Installation installation;
  const std::string missing = installation.files() + "/Missing.Ini";
  struct Case {
    std::vector<std::string> words;
    int exit_status;
  };
  const Case cases[] = {
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"set", missing}, 2},
      {{"list"}, 2},
      {{"list", missing}, 1},
      {{"set", installation.root() + "/no/such/folder/V.Ini", "PASS", kPassword}, 1},
      {{"set", missing, "A;B", "v"}, 1},
  };
  for (const auto& c : cases) {
    const ProcessResult result = RunSettings(installation, c.words);
    const std::string label = ::testing::PrintToString(c.words);
    EXPECT_EQ(result.exit_status, c.exit_status) << label;
    EXPECT_EQ(result.out, "") << label;
    EXPECT_NE(result.err, "") << label;
    ExpectNoPassword(result, label);
  }
  EXPECT_FALSE(FileExists(missing));

  const ProcessResult help = RunSettings(installation, {"--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_EQ(help.out.rfind("Usage: kelvador-settings", 0), 0u) << help.out;
}

TEST(SettingsThroughKelvador, ConnectsWithTheSettingsWritten) {
  Installation installation;
  SetAll(installation);
  const ProcessResult run = installation.RunKelvador({"A", "B", "out.txt", "1"});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(IsFailedConnect(run.out)) << run.out;
  ExpectNoPassword(run, "kelvador");
}

TEST(SettingsThroughKelvador, NamesAnInvalidValueBeforeConnecting) {
  Installation installation;
  SetAll(installation);
  // LOGIN's value with one digit that is no hexadecimal digit.
  std::string content = ReadWholeFile(installation.settings_file());
  const std::size_t login = content.find("2;LOGIN;");
  ASSERT_NE(login, std::string::npos);
  content[login + 8] = 'X';
  WriteWholeFile(installation.settings_file(), content);

  const ProcessResult run = installation.RunKelvador({"A", "B", "out.txt", "1"});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  const std::string message = "Ungueltiger Wert fuer LOGIN in Einstellungsdatei\n";
  EXPECT_EQ(run.out.substr(0, message.size()), message) << run.out;
  EXPECT_TRUE(IsFailedConnect(run.out.substr(message.size()))) << run.out;
  ExpectNoPassword(run, "kelvador");
}

}  // namespace
}  // namespace kelvador::testing
