#ifndef KELVADOR_RECORDS_RECORD_BUILDER_H_
#define KELVADOR_RECORDS_RECORD_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kelvador/run_state.h"
#include "records/field_format.h"

namespace kelvador {

// The columns of a layout that contribute to a record, in order, worked out
// once per run so that building a row's record only copies and pads.
class RecordShape {
 public:
  explicit RecordShape(const ColumnLayout& layout);

  // Bytes of every record: the widths of the contributing columns added up.
  std::size_t length() const { return length_; }

  // Writes the record of `row` into out[0, length()): every column with a
  // name, a known format and a width above 0, in order 1 to 30, its slot's
  // text cut or padded to the width by the format.
  void Build(const RowSlots& row, char* out) const;

 private:
  struct Field {
    int slot;
    FieldFormat format;
    std::size_t width;
  };
  std::vector<Field> fields_;
  std::size_t length_ = 0;
};

// Replaces *record with the fixed-width record of `row`: every enabled column
// of `layout`, in order 1 to 30, appends its slot's text cut or padded to the
// column's width by its format.
void BuildRecord(const ColumnLayout& layout, const RowSlots& row, std::string* record);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_RECORD_BUILDER_H_
