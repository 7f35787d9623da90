#include "settings/settings_tool.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "settings/settings_file.h"
#include "settings/settings_tool_platform.h"
#include "settings/value_cipher.h"

namespace kelvador {
namespace {

constexpr char kNewSection[] = ";SYSTEM;";
constexpr char kPasswordKey[] = "PASS";
constexpr char kMaskedValue[] = "********";
constexpr std::size_t kMaxServiceLength = 41;

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

constexpr char kUsage[] =
    "Usage: kelvador-settings COMMAND ...\n"
    "Writes and shows the enciphered system settings file (Files/Vantorium.Ini).\n"
    "\n"
    "  set FILE KEY [VALUE]  give KEY the value VALUE; without VALUE, or with \"-\",\n"
    "                        the value is read from standard input (typed without\n"
    "                        echo on a terminal). Creates FILE when it is missing.\n"
    "  list FILE             show number, section, key and value of every pair\n"
    "                        (the value of PASS as ********)\n"
    "  encrypt [VALUE]       print the enciphered value as hexadecimal text\n"
    "  --help                show this text\n"
    "\n"
    "Keys read by kelvador: NET8, LOGIN, PASS, DB_SYSTEM.\n";

// The line end the text uses: that of its first line, LF for a text without one.
std::string LineEnd(std::string_view text) {
  const std::size_t line_feed = text.find('\n');
  if (line_feed != std::string_view::npos && line_feed > 0 && text[line_feed - 1] == '\r') {
    return "\r\n";
  }
  return "\n";
}

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  }
  return true;
}

// The smallest number above every number in use, or the smallest unused
// positive one when the largest is already taken.
std::int32_t NextFreeNumber(std::string_view text) {
  std::set<std::int32_t> used;
  SettingPairReader reader(text);
  SettingPair pair;
  while (reader.Next(&pair)) used.insert(pair.record.number);
  const std::int32_t largest = used.empty() ? 0 : *used.rbegin();
  if (largest < 1) return 1;
  if (largest < std::numeric_limits<std::int32_t>::max()) return largest + 1;
  std::int32_t number = 1;
  while (used.count(number) != 0) ++number;
  return number;
}

// Shows a field on one line: control characters and "\" escaped.
std::string Shown(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      shown += "\\\\";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\r') {
      shown += "\\r";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown;
}

void PrintError(const std::string& message) {
  std::fprintf(stderr, "kelvador-settings: %s\n", message.c_str());
}

int UsageError(const std::string& message) {
  PrintError(message);
  std::fputs("Try 'kelvador-settings --help'.\n", stderr);
  return kExitUsage;
}

// The value from the command line, or from standard input for "-" or none.
int ValueArgument(const std::vector<std::string>& words, std::size_t index,
                  const std::string& prompt, std::string* value) {
  if (index < words.size() && words[index] != "-") {
    *value = words[index];
    return 0;
  }
  if (ReadSecretInput(prompt, value) != 0) {
    PrintError("cannot read the value from standard input");
    return -1;
  }
  return 0;
}

int RunSet(const std::vector<std::string>& words) {
  if (words.size() < 3 || words.size() > 4) {
    return UsageError("set needs FILE, KEY and an optional VALUE");
  }
  const std::string& file_name = words[1];
  const std::string& key = words[2];
  std::string text;
  std::error_code status;
  const bool exists = std::filesystem::exists(file_name, status);
  if (status) {
    PrintError("cannot examine " + file_name + ": " + status.message());
    return kExitFailed;
  }
  if (exists && ReadFileBytes(file_name, &text) != 0) {
    PrintError("cannot read " + file_name + ": " + std::strerror(errno));
    return kExitFailed;
  }
  std::string value;
  if (ValueArgument(words, 3, "Value for " + key + ": ", &value) != 0) return kExitFailed;

  SetOutcome outcome;
  std::string error;
  const int set = SetSettingInText(&text, key, value, &outcome, &error);
  const std::size_t value_length = value.size();
  WipeText(&value);
  if (set != 0) {
    PrintError(error);
    return kExitFailed;
  }
  if (ReplaceFileAtomically(file_name, text, &error) != 0) {
    PrintError(error);
    return kExitFailed;
  }
  if (!outcome.added && outcome.taken_key != key) {
    PrintError("note: pair " + std::to_string(outcome.number) + " (key \"" +
               Shown(outcome.taken_key) +
               "\") answers every lookup because its section is empty or its number is 0; "
               "its value was replaced");
  }
  if (key == "NET8" && value_length > kMaxServiceLength) {
    PrintError("note: kelvador ignores a NET8 value longer than 41 characters");
  }
  std::printf("%s: pair %d %s\n", key.c_str(), outcome.number, outcome.added ? "added" : "updated");
  return kExitDone;
}

int RunList(const std::vector<std::string>& words) {
  if (words.size() != 2) return UsageError("list needs FILE");
  std::string text;
  if (ReadFileBytes(words[1], &text) != 0) {
    PrintError("cannot read " + words[1] + ": " + std::strerror(errno));
    return kExitFailed;
  }
  std::fputs(ListSettings(text).c_str(), stdout);
  return kExitDone;
}

int RunEncrypt(const std::vector<std::string>& words) {
  if (words.size() > 2) return UsageError("encrypt takes one VALUE");
  std::string value;
  if (ValueArgument(words, 1, "Value: ", &value) != 0) return kExitFailed;
  std::string hex;
  const int enciphered = EncryptHexValue(value, kSettingValueKey, &hex);
  WipeText(&value);
  if (enciphered != 1) {
    PrintError("the value holds a zero byte, which the settings file cannot keep");
    return kExitFailed;
  }
  std::printf("%s\n", hex.c_str());
  return kExitDone;
}

}  // namespace

int SetSettingInText(std::string* text, std::string_view key, std::string_view value,
                     SetOutcome* outcome, std::string* error) {
  if (key.empty() || key.find_first_of(std::string_view(";\r\n\0", 4)) != std::string_view::npos) {
    *error = "a key must not be empty nor hold \";\" or a line end";
    return -1;
  }
  std::string hex;
  if (EncryptHexValue(value, kSettingValueKey, &hex) != 1) {
    *error = "the value holds a zero byte, which the settings file cannot keep";
    return -1;
  }
  std::string updated;
  std::string old_value;
  SettingPair pair;
  *outcome = SetOutcome{};
  if (LookUpSetting(*text, "", key, 0, &old_value, &pair) != kSettingNotFound) {
    WipeText(&old_value);
    updated = text->substr(0, pair.value_begin) + hex + text->substr(pair.value_end);
    outcome->number = pair.record.number;
    outcome->taken_key = pair.record.key;
  } else {
    // Appended after the last pair. A lone last line (a line A without its
    // line B) would pair with the new lines; a blank one is kept after them.
    SettingPairReader reader(*text);
    while (reader.Next(&pair)) {
    }
    const std::size_t at = reader.position();
    const std::string_view rest = std::string_view(*text).substr(at);
    if (!IsBlank(rest)) {
      *error = "the file ends with a line that belongs to no pair; correct it first";
      return -1;
    }
    const std::string line_end = LineEnd(*text);
    outcome->number = NextFreeNumber(*text);
    outcome->added = true;
    outcome->taken_key = std::string(key);
    updated = text->substr(0, at);
    if (!updated.empty() && updated.back() != '\n') updated += line_end;
    updated += kNewSection + line_end + std::to_string(outcome->number) + ";" + std::string(key) +
               ";" + hex + line_end;
    updated += rest;
  }
  // The run must now read exactly this value for the key.
  std::string check;
  const bool read_back =
      LookUpSetting(updated, "", key, 0, &check) == kSettingFound && check == value;
  WipeText(&check);
  if (!read_back) {
    *error = "the changed file would not give the value back; nothing was written";
    return -1;
  }
  *text = std::move(updated);
  return 0;
}

std::string ListSettings(std::string_view text) {
  std::string password;
  SettingPair password_pair;
  const bool password_found =
      LookUpSetting(text, "", kPasswordKey, 0, &password, &password_pair) != kSettingNotFound;
  WipeText(&password);

  std::string listing;
  SettingPairReader reader(text);
  SettingPair pair;
  while (reader.Next(&pair)) {
    const SettingRecord& record = pair.record;
    std::string value;
    std::string shown;
    if (DecryptHexValue(record.value, kSettingValueKey, &value) != 1) {
      shown = "(invalid value)";
    } else if (record.key == kPasswordKey ||
               (password_found && pair.begin == password_pair.begin)) {
      shown = kMaskedValue;
    } else {
      shown = Shown(value);
    }
    WipeText(&value);
    listing += std::to_string(record.number) + "\t" + Shown(record.section) + "\t" +
               Shown(record.key) + "\t" + shown + "\n";
  }
  return listing;
}

int RunSettingsTool(int argc, char** argv) {
  std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (words.empty()) return UsageError("a command is missing");
  const std::string& command = words[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return kExitDone;
  }
  if (command == "set") return RunSet(words);
  if (command == "list") return RunList(words);
  if (command == "encrypt") return RunEncrypt(words);
  return UsageError("unknown command \"" + command + "\"");
}

}  // namespace kelvador
