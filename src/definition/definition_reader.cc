#include "definition/definition_reader.h"

#include <cstdio>
#include <memory>

#include "kelvador/status.h"
#include "platform/paths.h"

namespace kelvador {
namespace {

// Read sizes of the profile lookups: a value keeps at most size - 1 characters.
constexpr std::size_t kStatementLineSize = 200;
constexpr std::size_t kNameSize = 100;
constexpr std::size_t kFormatSize = 5;
constexpr std::size_t kWidthSize = 4;

constexpr int kLastStatementLine = 999;  // statement keys have three digits
constexpr std::string_view kPlaceholder = "$parm01";

// "SQL001" ... "SQL999", "FELD01" ... "FELD30" and the like.
std::string KeyName(const char* prefix, int number, int digits) {
  char key[16];
  std::snprintf(key, sizeof key, "%s%0*d", prefix, digits, number);
  return key;
}

// Decimal conversion as atoi does it: leading white space, an optional sign,
// digits up to the first non-digit; no digits give 0. The text is at most
// three characters, so the value cannot overflow.
std::int32_t DecimalValue(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int32_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
  }
  return negative ? -value : value;
}

// Replaces every "$parm01" by `terminal_name`. The search goes on behind each
// inserted name, so a name that itself holds "$parm01" is not replaced again.
std::string ReplacePlaceholder(const std::string& statement, const std::string& terminal_name) {
  std::string replaced;
  std::size_t from = 0;
  for (std::size_t at; (at = statement.find(kPlaceholder, from)) != std::string::npos;
       from = at + kPlaceholder.size()) {
    replaced.append(statement, from, at - from);
    replaced += terminal_name;
  }
  replaced.append(statement, from);
  return replaced;
}

}  // namespace

void ClearColumnLayout(RunState& run) {
  run.layout = ColumnLayout{};
  run.record_count = 0;
}

std::string DefinitionFilePath(std::string_view folder, std::string_view db_system) {
  std::string name = "KELVADOR.";
  name += db_system;
  name += ".INI";
  return JoinPath(folder, name);
}

int GetIniValues(RunState& run, const std::string& section) {
  const std::unique_ptr<ProfileSource> source =
      OpenProfileFile(DefinitionFilePath(".", run.settings.db_system));
  return ReadDefinition(run, section, *source);
}

int ReadDefinition(RunState& run, const std::string& section, const ProfileSource& source) {
  const bool debug = run.arguments.debug_flag != 0;
  run.statement.clear();
  if (debug) std::fputs("Str GetIniValues\n", stdout);

  // " " before every line and one at the end, where the first empty line stops
  // the reading. The statement has no length limit; its lines stop at SQL999.
  for (int line = 1; line <= kLastStatementLine; ++line) {
    const std::string value =
        source.GetString(section, KeyName("SQL", line, 3), kStatementLineSize);
    run.statement += ' ';
    if (value.empty()) break;
    run.statement += value;
    if (line == kLastStatementLine) run.statement += ' ';
  }
  if (run.statement == " ") return kExitNoStatement;

  if (debug) {
    std::fputs("  >>>>> SQL-Statement <<<<<\n", stdout);
    std::fputs("  '", stdout);
    std::fwrite(run.statement.data(), 1, run.statement.size(), stdout);
    std::fputs("'\n", stdout);
  }

  for (int column = 1; column <= kColumnCount; ++column) {
    run.layout[column - 1].name = source.GetString(section, KeyName("FELD", column, 2), kNameSize);
  }
  for (int column = 1; column <= kColumnCount; ++column) {
    run.layout[column - 1].format =
        source.GetString(section, KeyName("FTYP", column, 2), kFormatSize);
  }
  for (int column = 1; column <= kColumnCount; ++column) {
    run.layout[column - 1].width =
        DecimalValue(source.GetString(section, KeyName("FLEN", column, 2), kWidthSize));
  }

  run.statement = ReplacePlaceholder(run.statement, run.arguments.terminal_name);

  if (debug) std::fputs("End GetIniValues\n", stdout);
  return 0;
}

}  // namespace kelvador
