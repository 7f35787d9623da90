// Fuzzes the record builder and its field formatter. The input holds one line
// per column, "name|format|width|value", for columns 1 to 30 in order (later
// lines are ignored); the value runs to the end of the line and goes into the
// column's slot, cut to 100 bytes like a fetched item. Besides the sanitizers,
// the target checks the record length: every column with a name, a known
// format and a width of 0 or more contributes exactly `width` characters.
#include <charconv>
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
    std::from_chars(width.data(), width.data() + width.size(), spec.width);
    row.Set(column, line.data(), line.size());
  }

  std::string record = "left over from the last row";
  kelvador::BuildRecord(layout, row, &record);

  long long expected = 0;
  for (const kelvador::ColumnSpec& spec : layout) {
    const bool known = spec.format == "CHAR" || spec.format == "DEC" || spec.format == "TXT";
    if (!spec.name.empty() && known && spec.width > 0) expected += spec.width;
  }
  if (expected <= 5049 && static_cast<long long>(record.size()) != expected) std::abort();
  if (record.size() > 5049) std::abort();
  return 0;
}
