#ifndef KELVADOR_RECORDS_FIELD_FORMAT_H_
#define KELVADOR_RECORDS_FIELD_FORMAT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace kelvador {

// The text without the blanks and tabs at its end and then at its start; a text
// made only of blanks and tabs becomes empty.
std::string_view TrimBoth(std::string_view text);

// The text without the blanks and tabs at its end.
std::string_view TrimRight(std::string_view text);

// The formats a column can have; kNone contributes nothing.
enum class FieldFormat : std::uint8_t { kNone, kChar, kDec, kTxt };

// "CHAR", "DEC" or "TXT", compared exactly; any other text is kNone.
FieldFormat FieldFormatNamed(std::string_view format);

// Writes `value` into out[0, width) by `format` (not kNone): trimmed and
// padded as FormatField describes, a longer value cut to its rightmost
// `width` characters. `width` must be above 0.
void WriteField(std::string_view value, std::size_t width, FieldFormat format, char* out);

// Appends `value` to *record as a field of exactly `width` characters by
// `format`, compared exactly: "CHAR" trims both ends and pads blanks behind,
// "DEC" trims both ends and pads zeros in front, "TXT" trims the end only and
// pads blanks behind. A longer value keeps its rightmost `width` characters.
// Any other format, and a width of 0 or less, appends nothing. Appending never
// allocates once *record has the capacity of a whole record.
void FormatField(std::string_view value, std::int32_t width, std::string_view format,
                 std::string* record);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_FIELD_FORMAT_H_
