#include "settings/settings_file.h"

#include <cstdint>
#include <cstdio>
#include <limits>

#include "settings/value_cipher.h"

namespace kelvador {
namespace {

// Line A is read as a line read of 199 bytes always read it: at most 198
// characters, stopping after a line feed.
constexpr std::size_t kLineAChars = 199 - 1;
// Line B has no limit, so a value is never cut and never spills into the next
// pair (a 399-byte read would leave the rest of a long value as the next
// line A and shift the pairing of the rest of the file).
constexpr std::size_t kLineBChars = std::numeric_limits<std::size_t>::max();

constexpr char kInvalidValueMessage[] = "Ungueltiger Wert fuer %s in Einstellungsdatei\n";

// Reads one line of at most `max_chars` characters from `*position`, stopping
// after a line feed; a carriage return before a line feed is dropped. Returns
// false, reading nothing, at the end of the text.
bool ReadLine(std::string_view text, std::size_t max_chars, std::size_t* position,
              std::string* line) {
  line->clear();
  std::size_t at = *position;
  if (at >= text.size()) return false;
  while (at < text.size() && line->size() < max_chars) {
    if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
    const char c = text[at++];
    line->push_back(c);
    if (c == '\n') break;
  }
  *position = at;
  return true;
}

// Decimal conversion as atoi does it (leading blanks, a sign, digits up to the
// first other character), held to the 32-bit range instead of overflowing.
std::int32_t DecimalValue(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r'))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  if (negative) return static_cast<std::int32_t>(-magnitude);
  return static_cast<std::int32_t>(magnitude == kLimit ? kLimit - 1 : magnitude);
}

}  // namespace

bool SettingPairReader::Next(SettingPair* pair) {
  std::size_t at = position_;
  std::string line_a;
  std::string line_b;
  if (!ReadLine(text_, kLineAChars, &at, &line_a)) return false;
  const std::size_t line_b_start = at;
  if (!ReadLine(text_, kLineBChars, &at, &line_b)) return false;

  SettingRecord& record = pair->record;
  int p1 = FindNthChar(line_a, ';', 1);
  int p2 = FindNthChar(line_a, ';', 2);
  record.section = CopySubstring(line_a, p1 + 1, p2 - p1 - 1);

  p1 = FindNthChar(line_b, ';', 1);
  p2 = FindNthChar(line_b, ';', 2);
  record.number = DecimalValue(CopySubstring(line_b, 0, p1));
  record.key = CopySubstring(line_b, p1 + 1, p2 - p1 - 1);
  // The value runs to the line feed; a last line without one runs to its end.
  int value_start = 0;
  int count = 0;
  if (p2 >= 0) {
    value_start = p2 + 1;
    const std::size_t line_feed = line_b.find('\n');
    const int line_end =
        static_cast<int>(line_feed == std::string::npos ? line_b.size() : line_feed);
    count = line_end - p2 - 1;
  }
  record.value = CopySubstring(line_b, value_start, count);
  if (!record.value.empty() && record.value.back() == '\n') record.value.pop_back();

  // Inside a line every character stands where it stood in the raw text; only
  // the carriage return before the final line feed was dropped.
  pair->begin = position_;
  pair->line_b = line_b_start;
  pair->value_begin = line_b_start + static_cast<std::size_t>(value_start);
  pair->value_end = pair->value_begin + record.value.size();
  pair->end = at;
  position_ = at;
  return true;
}

int FindNthChar(std::string_view text, char c, int n) {
  int found = -1;
  int seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != c) continue;
    found = static_cast<int>(i);
    if (++seen >= n) break;
  }
  return found;
}

std::string CopySubstring(std::string_view source, int start, int count) {
  if (count < 0 || start < 0 || static_cast<std::size_t>(start) >= source.size()) return {};
  const std::string_view rest = source.substr(static_cast<std::size_t>(start));
  if (count == 0) return std::string(rest);
  return std::string(rest.substr(0, static_cast<std::size_t>(count)));
}

bool PairMatches(const SettingRecord& record, std::string_view section, std::string_view key,
                 std::int32_t number) {
  return record.section == section || record.key == key || record.number == number;
}

int LookUpSetting(std::string_view text, std::string_view section, std::string_view key,
                  std::int32_t number, std::string* value, SettingPair* pair) {
  value->clear();
  SettingPairReader reader(text);
  SettingPair candidate;
  while (reader.Next(&candidate)) {
    if (!PairMatches(candidate.record, section, key, number)) continue;
    if (pair != nullptr) *pair = candidate;
    return DecryptHexValue(candidate.record.value, kSettingValueKey, value) == 1 ? kSettingFound
                                                                                 : kSettingInvalid;
  }
  return kSettingNotFound;
}

std::string ReadSystemSetting(std::string_view section, std::string_view key, int number,
                              const std::string& file_name) {
  std::string text;
  std::string value;
  if (ReadFileBytes(file_name, &text) != 0) return value;
  SettingPair pair;
  if (LookUpSetting(text, section, key, number, &value, &pair) == kSettingInvalid) {
    // Names the setting, never its value.
    const std::string name(key.empty() ? std::string_view(pair.record.key) : key);
    std::printf(kInvalidValueMessage, name.c_str());
  }
  return value;
}

int ReadFileBytes(const std::string& file_name, std::string* content) {
  content->clear();
  std::FILE* file = std::fopen(file_name.c_str(), "rb");
  if (file == nullptr) return -1;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content->append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return failed ? -1 : 0;
}

}  // namespace kelvador
