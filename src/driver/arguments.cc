#include "driver/arguments.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "kelvador/status.h"

namespace kelvador {
namespace {

// The terminal name is pasted into SQL text: letters, digits and a few
// punctuation marks are safe, a quote or a blank would let it rewrite the query.
bool IsSafeTerminalName(std::string_view name) {
  for (const char c : name) {
    const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '_' || c == '$' || c == '#' || c == '.' || c == '-';
    if (!safe) return false;
  }
  return true;
}

int Refuse(const char* message, int result) {
  PrintBanner();
  std::printf("%s", message);
  std::printf("\n");
  PrintUsage();
  return result;
}

}  // namespace

void PrintBanner() {
  std::printf("\n");
  std::printf("******************************************************\n");
  std::printf("** Copyright (c) Vantorium. Alle Rechte vorbehalten **\n");
  std::printf("** Projekt     : VANTORIUM                          **\n");
  std::printf("** Tool        : KELVADOR                           **\n");
  std::printf("** Beschreibung:  Ausfuehren einer SQL-Anweisung    **\n");
  std::printf("**                und erstellen einer Downloaddatei **\n");
  std::printf("**                aus den Resultierenden Daten      **\n");
  std::printf("******************************************************\n");
  std::printf("\n");
}

void PrintUsage() {
  std::printf("Befehlsformat: \n");
  std::printf("KELVADOR.EXE Sektionsname Terminalname Zieldatei 0/1 \n");
  std::printf("\n");
  std::printf("Sektionsname : Name der Sektion in der Ini-Datei     \n");
  std::printf("Terminalname : Parameter fuer das SQL-Statement      \n");
  std::printf("Zieldatei    : Dateiname der Ausgabedatei            \n");
  std::printf("RepaceFlag   : 0= Anhaengen, 1= Ersetzen             \n");
  std::printf("\n");
  std::printf("Beispiel:\n");
  std::printf("KELVADOR.EXE KVDNL31P ZutCtrl kvdnl31p.txt 1\n");
  std::printf("\n");
}

char* UpperCaseInPlace(char* text) {
  for (std::size_t i = std::strlen(text); i > 0; --i) {
    const char c = text[i - 1];
    if (c >= 'a' && c <= 'z') text[i - 1] = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

int ParseArguments(int argc, char** argv, RunArguments* arguments) {
  if (argc <= 4) return Refuse("Falsche Anzahl Parameter\n", kExitArgumentCount);
  if (std::strcmp(argv[4], "0") != 0 && std::strcmp(argv[4], "1") != 0) {
    return Refuse("Falsches ReplaceFlag, erlaubt: '0' oder '1'\n", kExitReplaceFlag);
  }
  if (std::strlen(argv[1]) > kMaxNameLength) {
    return Refuse("Sektionsname zu lang (max. 31 Zeichen)\n", kExitBadArgument);
  }
  if (std::strlen(argv[2]) > kMaxNameLength) {
    return Refuse("Terminalname zu lang (max. 31 Zeichen)\n", kExitBadArgument);
  }
  if (!IsSafeTerminalName(argv[2])) {
    return Refuse("Unzulaessiges Zeichen im Terminalnamen\n", kExitBadArgument);
  }

  arguments->target_file_name = argv[3];
  arguments->section_name = argv[1];
  arguments->terminal_name = argv[2];
  arguments->replace_flag = static_cast<std::int16_t>(std::atoi(argv[4]));
  if (argc > 5 && std::strcmp(UpperCaseInPlace(argv[5]), "/D") == 0) {
    arguments->debug_flag = 1;
    std::printf(" Aktiviert Debugger\n");
    return 0;
  }
  arguments->debug_flag = 0;
  return 0;
}

}  // namespace kelvador
