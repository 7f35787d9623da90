#include "records/field_format.h"

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

void FormatField(std::string_view value, std::int32_t width, std::string_view format,
                 std::string* record) {
  enum class Pad { kBlanksBehind, kZerosInFront };
  Pad pad;
  if (format == "CHAR") {
    value = TrimBoth(value);
    pad = Pad::kBlanksBehind;
  } else if (format == "DEC") {
    value = TrimBoth(value);
    pad = Pad::kZerosInFront;
  } else if (format == "TXT") {
    value = TrimRight(value);
    pad = Pad::kBlanksBehind;
  } else {
    return;
  }
  // A negative width (the definition file can hold one) contributes nothing, as 0 does.
  if (width <= 0) return;
  const std::size_t field_width = static_cast<std::size_t>(width);
  if (value.size() >= field_width) {
    record->append(value.substr(value.size() - field_width));
  } else if (pad == Pad::kZerosInFront) {
    record->append(field_width - value.size(), '0');
    record->append(value);
  } else {
    record->append(value);
    record->append(field_width - value.size(), ' ');
  }
}

}  // namespace kelvador
