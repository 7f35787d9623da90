#ifndef KELVADOR_RECORDS_FIELD_FORMAT_H_
#define KELVADOR_RECORDS_FIELD_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Writing a field runs for every column of every row, so it is defined here,
// inline, where the record builder's loop can take it in whole.

namespace kelvador {

// The formats a column can have; kNone contributes nothing.
enum class FieldFormat : std::uint8_t { kNone, kChar, kDec, kTxt };

// "CHAR", "DEC" or "TXT", compared exactly; any other text is kNone.
FieldFormat FieldFormatNamed(std::string_view format);

namespace field_bytes {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Copies `size` bytes, from sizeof(Word) to 2 * sizeof(Word), with two
// overlapping moves of one word each.
template <typename Word>
inline void CopyTwoWords(char* out, const char* in, std::size_t size) {
  Word head;
  Word tail;
  std::memcpy(&head, in, sizeof(Word));
  std::memcpy(&tail, in + size - sizeof(Word), sizeof(Word));
  std::memcpy(out, &head, sizeof(Word));
  std::memcpy(out + size - sizeof(Word), &tail, sizeof(Word));
}

// Field values and paddings are mostly a few bytes long, where a library call
// costs more than the copy; these handle up to 16 bytes inline and pass
// longer ones on.
inline void Copy(char* out, const char* in, std::size_t size) {
  if (size >= 8 && size <= 16) {
    CopyTwoWords<std::uint64_t>(out, in, size);
  } else if (size >= 4 && size < 8) {
    CopyTwoWords<std::uint32_t>(out, in, size);
  } else if (size < 4) {
    for (std::size_t i = 0; i < size; ++i) out[i] = in[i];
  } else {
    std::memcpy(out, in, size);
  }
}

inline void Fill(char* out, char byte, std::size_t size) {
  if (size >= 8 && size <= 16) {
    const std::uint64_t eight = 0x0101010101010101u * static_cast<unsigned char>(byte);
    std::memcpy(out, &eight, 8);
    std::memcpy(out + size - 8, &eight, 8);
  } else if (size < 8) {
    for (std::size_t i = 0; i < size; ++i) out[i] = byte;
  } else {
    std::memset(out, byte, size);
  }
}

}  // namespace field_bytes

// The text without the blanks and tabs at its end.
inline std::string_view TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && field_bytes::IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

// The text without the blanks and tabs at its end and then at its start; a text
// made only of blanks and tabs becomes empty.
inline std::string_view TrimBoth(std::string_view text) {
  text = TrimRight(text);
  std::size_t start = 0;
  while (start < text.size() && field_bytes::IsBlank(text[start])) ++start;
  return text.substr(start);
}

// Writes `value` into out[0, width) as a field of exactly `width` (above 0)
// characters by `format` (not kNone): kChar trims both ends and pads blanks
// behind, kDec trims both ends and pads zeros in front, kTxt trims the end only
// and pads blanks behind. A longer value keeps its rightmost `width` characters.
inline void WriteField(std::string_view value, std::size_t width, FieldFormat format, char* out) {
  value = format == FieldFormat::kTxt ? TrimRight(value) : TrimBoth(value);
  if (value.size() >= width) {
    field_bytes::Copy(out, value.data() + (value.size() - width), width);
  } else if (format == FieldFormat::kDec) {
    const std::size_t zeros = width - value.size();
    field_bytes::Fill(out, '0', zeros);
    field_bytes::Copy(out + zeros, value.data(), value.size());
  } else {
    field_bytes::Copy(out, value.data(), value.size());
    field_bytes::Fill(out + value.size(), ' ', width - value.size());
  }
}

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_FIELD_FORMAT_H_
