// The command line as an operator meets it: refusals print the banner, the
// message and the usage text byte for byte, with their exit statuses.
#include <gtest/gtest.h>

#include "support/installation.h"
#include "support/refused_output.h"

namespace kelvador::testing {
namespace {

TEST(CommandLine, RefusedCommandLinesPrintUsageAndExitWithTheirStatus) {
  struct Case {
    std::vector<std::string> arguments;
    int exit_status;
    std::string message;
  };
  const Case cases[] = {
      {{}, 1, "Falsche Anzahl Parameter\n"},
      {{"KVDNL31P", "ZutCtrl", "kvdnl31p.txt"}, 1, "Falsche Anzahl Parameter\n"},
      {{"KVDNL31P", "ZutCtrl", "kvdnl31p.txt", "x"}, 2,
       "Falsches ReplaceFlag, erlaubt: '0' oder '1'\n"},
      {{std::string(32, 'S'), "ZutCtrl", "kvdnl31p.txt", "1"}, 4,
       "Sektionsname zu lang (max. 31 Zeichen)\n"},
      {{"KVDNL31P", "Zut' OR '1'='1", "kvdnl31p.txt", "1"}, 4,
       "Unzulaessiges Zeichen im Terminalnamen\n"},
  };
  Installation installation;
  for (const auto& c : cases) {
    const ProcessResult result = installation.RunKelvador(c.arguments);
    const std::string label = ::testing::PrintToString(c.arguments);
    EXPECT_EQ(result.exit_status, c.exit_status) << label;
    EXPECT_EQ(result.out, RefusedOutput(c.message)) << label;
    EXPECT_EQ(result.err, "") << label;
  }
}

TEST(CommandLine, WithoutSettingsTheConnectFailsAndTheRunEndsWithStatusZero) {
  Installation installation;
  const ProcessResult result = installation.RunKelvador({"KVDNL31P", "ZutCtrl", "out.txt", "1", "/d"});
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.out, " Aktiviert Debugger\ndbConnect_Status: -12154\n");
  EXPECT_FALSE(FileExists(installation.InWork("out.txt")));
}

}  // namespace
}  // namespace kelvador::testing
