// No output may show the password: every path of kelvador and kelvador-settings
// that prints runs with a recognisable password, and standard output and
// standard error are searched for it and for the connect text that holds it.
// kelvador-settings must also keep the settings file's permissions no wider.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/installation.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

const char kPassword[] = "Pw-SECRET-7351";
const char kLogin[] = "kelvador";
const char kScript[] =
    "CREATE TABLE NUMS (ID INTEGER, N INTEGER);"
    "INSERT INTO NUMS VALUES (1, 10), (2, -9223372036854775807 - 1);";
const char kDefinition[] =
    "[OK]\nSQL001=SELECT N FROM NUMS WHERE ID = 1 AND 'x' <> '$parm01'\n"
    "FELD01=N\nFTYP01=DEC\nFLEN01=4\n"
    "[FETCHERROR]\nSQL001=SELECT abs(N) FROM NUMS ORDER BY ID\nFELD01=N\nFTYP01=DEC\nFLEN01=4\n"
    "[OPENERROR]\nSQL001=SELECT NOPE FROM NOWHERE\nFELD01=N\nFTYP01=DEC\nFLEN01=4\n";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// Fails the test when `text` shows the password or the connect text.
void ExpectNoSecret(const std::string& what, const ProcessResult& result) {
  const std::string connect_text = std::string(kLogin) + "/" + kPassword + "@";
  for (const auto& [stream, text] : {std::pair{"stdout", &result.out}, {"stderr", &result.err}}) {
    EXPECT_EQ(text->find(kPassword), std::string::npos) << what << " " << stream << ":\n" << *text;
    EXPECT_EQ(text->find(connect_text), std::string::npos) << what << " " << stream;
  }
}

struct KelvadorCase {
  std::string name;
  std::string service;  // NET8; empty: the SQLite database of the route
  std::string login = kLogin;
  std::vector<std::string> arguments;
};

TEST(Secrets, KelvadorNeverPrintsThePassword) {
  std::vector<KelvadorCase> cases = {
      {"usage", "", kLogin, {"OK", "T1"}},
      {"wrong flag", "", kLogin, {"OK", "T1", "out.txt", "2", "/D"}},
      {"too long a terminal name", "", kLogin, {"OK", std::string(40, 'T'), "out.txt", "1"}},
      {"trace of a good run", "", kLogin, {"OK", "T1", "out.txt", "1", "/D"}},
      {"open error", "", kLogin, {"OPENERROR", "T1", "out.txt", "1", "/D"}},
      {"fetch error", "", kLogin, {"FETCHERROR", "T1", "out.txt", "1", "/D"}},
      {"write error", "", kLogin, {"OK", "T1", "none/out.txt", "1", "/D"}},
      {"no statement", "", kLogin, {"NONE", "T1", "out.txt", "1", "/D"}},
      {"missing SQLite file", "sqlite:../../Files/none.db", kLogin, {"OK", "T1", "o", "1", "/D"}},
      {"PostgreSQL refusing",
       "postgresql://127.0.0.1:1/none",
       kLogin,
       {"OK", "T1", "o", "1", "/D"}},
      {"PostgreSQL bad URI", "postgres://[::1", kLogin, {"OK", "T1", "o", "1", "/D"}},
      {"ODBC data source unknown", "NOSUCHDSN", kLogin, {"OK", "T1", "o", "1", "/D"}},
      {"ODBC driver unknown",
       "odbc:Driver={No Such Driver};Server=x",
       kLogin,
       {"OK", "T1", "o", "1", "/D"}},
  };
  // The servers of scripts/test-servers.sh, when they run: the password is wrong there.
  if (!Env("KELVADOR_TEST_PG_URI").empty()) {
    const std::string user = Env("KELVADOR_TEST_PG_USER");
    cases.push_back({"PostgreSQL wrong password",
                     Env("KELVADOR_TEST_PG_URI"),
                     user,
                     {"OK", "T1", "o", "1", "/D"}});
    cases.push_back({"ODBC PostgreSQL wrong password",
                     Env("KELVADOR_TEST_PG_DSN"),
                     user,
                     {"OK", "T1", "o", "1", "/D"}});
  }

  for (const KelvadorCase& test : cases) {
    SCOPED_TRACE(test.name);
    Installation installation;
    MakeRoute("sqlite")->Prepare(installation, kScript);
    WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), kDefinition);
    if (!test.service.empty()) installation.SetSetting("NET8", test.service);
    installation.SetSetting("LOGIN", test.login);
    installation.SetSetting("PASS", kPassword);
    const ProcessResult result = installation.RunKelvador(test.arguments);
    EXPECT_LT(result.exit_status, 5) << result.out << result.err;
    ExpectNoSecret(test.name, result);
  }
}

TEST(Secrets, AnInvalidPasswordValueIsNamedButNotShown) {
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), kDefinition);
  // A PASS value cut short by hand: valid hexadecimal, not whole blocks.
  std::string text = ReadWholeFile(installation.settings_file());
  text += ";SYSTEM;\n9;PASS;0123456789ABCDEF01\n";
  const ProcessResult encrypted =
      RunProgram(BuiltProgram("kelvador-settings"), {"encrypt", kPassword}, installation.root());
  ExpectNoSecret("encrypt", encrypted);
  WriteWholeFile(installation.settings_file(), text);
  const ProcessResult result = installation.RunKelvador({"OK", "T1", "out.txt", "1", "/D"});
  ExpectNoSecret("invalid PASS", result);
}

TEST(Secrets, KelvadorSettingsNeverPrintsThePassword) {
  Installation installation;
  const std::string file = installation.settings_file();
  const std::string tool = BuiltProgram("kelvador-settings");
  const std::string cwd = installation.root();
  struct Case {
    std::vector<std::string> arguments;
    std::string input;
  };
  const std::vector<Case> cases = {
      {{"set", file, "PASS", kPassword}, ""},
      {{"set", file, "PASS", "-"}, kPassword},
      {{"set", file, "PASS"}, std::string(kPassword) + "\n"},
      {{"set", file, "LOGIN", kLogin}, ""},
      {{"list", file}, ""},
      {{"encrypt", kPassword}, ""},
      {{"encrypt"}, kPassword},
      {{"--help"}, ""},
      {{}, ""},
      {{"unknown", kPassword}, ""},
      {{"set", file}, kPassword},
      {{"set", file, "PASS", kPassword, "extra"}, ""},
      {{"set", file, "PA;SS", kPassword}, ""},
      {{"set", file, "PASS", std::string(kPassword) + "\n" + kPassword}, ""},
      {{"set", cwd + "/none/Vantorium.Ini", "PASS", kPassword}, ""},
      {{"set", cwd, "PASS", kPassword}, ""},
      {{"list", cwd + "/none/Vantorium.Ini"}, ""},
      {{"list", file, kPassword}, ""},
  };
  for (const Case& test : cases) {
    std::string what = "kelvador-settings";
    for (const std::string& argument : test.arguments) what += " " + argument;
    SCOPED_TRACE(what);
    const ProcessResult result = RunProgram(tool, test.arguments, cwd, test.input);
    EXPECT_LT(result.exit_status, 3);
    ExpectNoSecret(what, result);
  }
  // The file holds the password enciphered only.
  EXPECT_EQ(ReadWholeFile(file).find(kPassword), std::string::npos);
}

mode_t Permissions(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return 07777;
  return status.st_mode & 07777;
}

TEST(Secrets, KelvadorSettingsKeepsPermissionsNoWider) {
  Installation installation;
  const std::string file = installation.settings_file();
  const std::string tool = BuiltProgram("kelvador-settings");
  const ProcessResult created =
      RunProgram(tool, {"set", file, "PASS", kPassword}, installation.root());
  ASSERT_EQ(created.exit_status, 0) << created.err;
  EXPECT_EQ(Permissions(file), 0600) << "a new settings file";

  for (const mode_t mode : {0600, 0640, 0644, 0400, 0660}) {
    ::chmod(file.c_str(), mode);
    const ProcessResult result =
        RunProgram(tool, {"set", file, "LOGIN", kLogin}, installation.root());
    EXPECT_EQ(result.exit_status, 0) << result.err;
    EXPECT_EQ(Permissions(file), mode) << "after set on a file of mode " << std::oct << mode;
  }
}

}  // namespace
}  // namespace kelvador::testing
