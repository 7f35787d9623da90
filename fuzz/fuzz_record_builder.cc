// Fuzzes the record builder and its field formatter. The input holds one line
// per column, "name|format|width|value", for columns 1 to 30 in order (later
// lines are ignored); the value runs to the end of the line and goes into the
// column's slot, cut to 100 bytes like a fetched item. The width is read as the
// definition reader reads FLENnn: its first three characters, converted like
// atoi, so -99 to 999. Besides the sanitizers, the target checks the record
// length: every column with a name, a known format and a width above 0
// contributes exactly `width` characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "kelvador/row_slots.h"
#include "kelvador/run_state.h"
#include "records/record_builder.h"

namespace {

// Splits off the text before the next `separator`; the rest when there is none.
std::string_view TakeField(std::string_view* line, char separator) {
  const std::size_t end = line->find(separator);
  const std::string_view field = line->substr(0, end);
  line->remove_prefix(end == std::string_view::npos ? line->size() : end + 1);
  return field;
}

// The first three characters of `text` as a number: leading blanks, a sign,
// digits up to the first non-digit.
std::int32_t WidthValue(std::string_view text) {
  text = text.substr(0, 3);
  std::size_t at = 0;
  while (at < text.size() && text[at] == ' ') ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int32_t value = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    value = value * 10 + text[at] - '0';
  return negative ? -value : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  kelvador::ColumnLayout layout;
  kelvador::RowSlots row;
  row.Clear();
  for (int column = 0; column < kelvador::kColumnCount && !input.empty(); ++column) {
    std::string_view line = TakeField(&input, '\n');
    kelvador::ColumnSpec& spec = layout[column];
    spec.name = TakeField(&line, '|');
    spec.format = TakeField(&line, '|');
    const std::string_view width = TakeField(&line, '|');
    spec.width = WidthValue(width);
    row.Set(column, line.data(), line.size());
  }

  std::string record = "left over from the last row";
  kelvador::BuildRecord(layout, row, &record);

  long long expected = 0;
  for (const kelvador::ColumnSpec& spec : layout) {
    const bool known = spec.format == "CHAR" || spec.format == "DEC" || spec.format == "TXT";
    if (!spec.name.empty() && known && spec.width > 0) expected += spec.width;
  }
  if (static_cast<long long>(record.size()) != expected) std::abort();
  return 0;
}
