#ifndef KELVADOR_RECORDS_FIELD_FORMAT_H_
#define KELVADOR_RECORDS_FIELD_FORMAT_H_

#include <cstddef>
#include <cstdint>
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

// Writes `value` into out[0, width) as a field of exactly `width` (above 0)
// characters by `format` (not kNone): kChar trims both ends and pads blanks
// behind, kDec trims both ends and pads zeros in front, kTxt trims the end only
// and pads blanks behind. A longer value keeps its rightmost `width` characters.
void WriteField(std::string_view value, std::size_t width, FieldFormat format, char* out);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_FIELD_FORMAT_H_
