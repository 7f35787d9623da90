#include "records/field_format.h"

#include <cstring>

namespace kelvador {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view TrimRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

std::string_view TrimBoth(std::string_view text) {
  text = TrimRight(text);
  std::size_t start = 0;
  while (start < text.size() && IsBlank(text[start])) ++start;
  return text.substr(start);
}

FieldFormat FieldFormatNamed(std::string_view format) {
  if (format == "CHAR") return FieldFormat::kChar;
  if (format == "DEC") return FieldFormat::kDec;
  if (format == "TXT") return FieldFormat::kTxt;
  return FieldFormat::kNone;
}

void WriteField(std::string_view value, std::size_t width, FieldFormat format, char* out) {
  value = format == FieldFormat::kTxt ? TrimRight(value) : TrimBoth(value);
  if (value.size() >= width) {
    std::memcpy(out, value.data() + (value.size() - width), width);
  } else if (format == FieldFormat::kDec) {
    const std::size_t zeros = width - value.size();
    std::memset(out, '0', zeros);
    std::memcpy(out + zeros, value.data(), value.size());
  } else {
    std::memcpy(out, value.data(), value.size());
    std::memset(out + value.size(), ' ', width - value.size());
  }
}

}  // namespace kelvador
