// The command line as an operator meets it: refusals print the banner, the
// message and the usage text byte for byte, with their exit statuses.
#include <gtest/gtest.h>

#include "support/installation.h"

namespace kelvador::testing {
namespace {

const char kBanner[] =
    "\n"
    "******************************************************\n"
    "** Copyright (c) Vantorium. Alle Rechte vorbehalten **\n"
    "** Projekt     : VANTORIUM                          **\n"
    "** Tool        : KELVADOR                           **\n"
    "** Beschreibung:  Ausfuehren einer SQL-Anweisung    **\n"
    "**                und erstellen einer Downloaddatei **\n"
    "**                aus den Resultierenden Daten      **\n"
    "******************************************************\n"
    "\n";

const char kUsage[] =
    "Befehlsformat: \n"
    "KELVADOR.EXE Sektionsname Terminalname Zieldatei 0/1 \n"
    "\n"
    "Sektionsname : Name der Sektion in der Ini-Datei     \n"
    "Terminalname : Parameter fuer das SQL-Statement      \n"
    "Zieldatei    : Dateiname der Ausgabedatei            \n"
    "RepaceFlag   : 0= Anhaengen, 1= Ersetzen             \n"
    "\n"
    "Beispiel:\n"
    "KELVADOR.EXE KVDNL31P ZutCtrl kvdnl31p.txt 1\n"
    "\n";

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
    EXPECT_EQ(result.out, std::string(kBanner) + c.message + "\n" + kUsage) << label;
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
