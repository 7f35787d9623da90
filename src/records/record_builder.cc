#include "records/record_builder.h"

#include "records/field_format.h"

namespace kelvador {

RecordShape::RecordShape(const ColumnLayout& layout) {
  for (int column = 0; column < kColumnCount; ++column) {
    const ColumnSpec& spec = layout[column];
    const FieldFormat format = FieldFormatNamed(spec.format);
    // A negative width (the definition file can hold one) contributes nothing, as 0 does.
    if (spec.name.empty() || format == FieldFormat::kNone || spec.width <= 0) continue;
    const auto width = static_cast<std::size_t>(spec.width);
    fields_.push_back(Field{column, format, width});
    length_ += width;
  }
}

void RecordShape::Build(const RowSlots& row, char* out) const {
  for (const Field& field : fields_) {
    WriteField(row.Slot(field.slot), field.width, field.format, out);
    out += field.width;
  }
}

void BuildRecord(const ColumnLayout& layout, const RowSlots& row, std::string* record) {
  const RecordShape shape(layout);
  record->resize(shape.length());  // keeps the capacity
  shape.Build(row, record->data());
}

}  // namespace kelvador
