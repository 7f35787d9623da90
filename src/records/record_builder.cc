#include "records/record_builder.h"

#include "records/field_format.h"

namespace kelvador {

void BuildRecord(const ColumnLayout& layout, const RowSlots& row, std::string* record) {
  record->clear();  // keeps the capacity, so records after the first allocate nothing
  for (int column = 0; column < kColumnCount; ++column) {
    const ColumnSpec& spec = layout[column];
    if (spec.name.empty()) continue;
    FormatField(row.Slot(column), spec.width, spec.format, record);
  }
}

}  // namespace kelvador
