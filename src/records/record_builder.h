#ifndef KELVADOR_RECORDS_RECORD_BUILDER_H_
#define KELVADOR_RECORDS_RECORD_BUILDER_H_

#include <string>

#include "kelvador/run_state.h"

namespace kelvador {

// Replaces *record with the fixed-width record of `row`: every enabled column
// of `layout`, in order 1 to 30, appends its slot's text cut or padded to the
// column's width by its format.
void BuildRecord(const ColumnLayout& layout, const RowSlots& row, std::string* record);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_RECORD_BUILDER_H_
