#ifndef KELVADOR_SETTINGS_SETTINGS_FILE_H_
#define KELVADOR_SETTINGS_SETTINGS_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvador {

// The file is a sequence of record pairs. Line A holds the section between its
// first and second ";"; line B holds "number;key;value", the value being the
// enciphered hexadecimal text. Line A is read in pieces of at most 198
// characters, as it always was (a longer physical line continues as line B);
// line B is read whole, so values of any length stay whole. A carriage return
// before a line feed is dropped, as text-mode reading does.

// The fields of one record pair as the reader splits them.
struct SettingRecord {
  std::int32_t number = 0;
  std::string section;
  std::string key;
  std::string value;  // the value text, without the line feed that ends line B
};

// One record pair and where it lies in the raw text (offsets into that text).
struct SettingPair {
  SettingRecord record;
  std::size_t begin = 0;        // start of line A
  std::size_t line_b = 0;       // start of line B
  std::size_t value_begin = 0;  // start of the value in line B
  std::size_t value_end = 0;    // end of the value (where its line end starts)
  std::size_t end = 0;          // after line B and its line end
};

// Walks the record pairs of a settings text in file order. The text must
// outlive the reader.
class SettingPairReader {
 public:
  explicit SettingPairReader(std::string_view text) : text_(text) {}
  // Returns true with the next pair in `*pair`; false when the text ends before
  // a line B could be read (a lone last line is no pair).
  bool Next(SettingPair* pair);
  // Where the next pair would start: after the last pair that was returned.
  std::size_t position() const { return position_; }

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

// Position (from 0) of the n-th occurrence of `c` in `text`; of the last one
// when there are fewer than n but at least one; -1 when there is none.
int FindNthChar(std::string_view text, char c, int n);

// count > 0: the `count` characters from `start` (fewer where the text ends);
// count 0: the rest of the text from `start`; count < 0: the empty text.
// A `start` outside the text gives the empty text.
std::string CopySubstring(std::string_view source, int start, int count);

// Whether a pair answers a lookup: its section equals `section`, or its key
// equals `key`, or its number equals `number` (any one is enough).
bool PairMatches(const SettingRecord& record, std::string_view section, std::string_view key,
                 std::int32_t number);

// Results of LookUpSetting.
inline constexpr int kSettingFound = 0;
inline constexpr int kSettingNotFound = 1;
inline constexpr int kSettingInvalid = -1;

// Looks up the first matching pair of a settings text and deciphers its value.
// Returns kSettingFound with `*value` set; kSettingNotFound with `*value` empty
// when no pair matches; kSettingInvalid with `*value` empty when the matching
// pair's value is no valid enciphered text. `*pair`, when given, receives the
// matching pair.
int LookUpSetting(std::string_view text, std::string_view section, std::string_view key,
                  std::int32_t number, std::string* value, SettingPair* pair = nullptr);

// Looks up the first record pair of `file_name` whose section equals `section`,
// or whose key equals `key`, or whose number equals `number`, and returns its
// deciphered value. Returns the empty text when no pair matches or the file
// cannot be opened. A value that is not valid hexadecimal text gives the empty
// text and prints "Ungueltiger Wert fuer <key> in Einstellungsdatei\n".
std::string ReadSystemSetting(std::string_view section, std::string_view key, int number,
                              const std::string& file_name);

// Reads a whole file as bytes. Returns 0 with `*content` set; -1 when the file
// cannot be opened or read.
int ReadFileBytes(const std::string& file_name, std::string* content);

}  // namespace kelvador

#endif  // KELVADOR_SETTINGS_SETTINGS_FILE_H_
