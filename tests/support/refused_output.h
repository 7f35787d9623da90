#ifndef KELVADOR_TESTS_SUPPORT_REFUSED_OUTPUT_H_
#define KELVADOR_TESTS_SUPPORT_REFUSED_OUTPUT_H_

#include <string>

namespace kelvador::testing {

// What kelvador prints when it refuses its command line, byte for byte: the
// banner, `message`, an empty line and the usage text.
inline std::string RefusedOutput(const std::string& message) {
  static const char kBanner[] =
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
  static const char kUsage[] =
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
  return kBanner + message + "\n" + kUsage;
}

}  // namespace kelvador::testing

#endif  // KELVADOR_TESTS_SUPPORT_REFUSED_OUTPUT_H_
