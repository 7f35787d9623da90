// Placeholder until the record production lands.
#include "records/download_writer.h"
#include "records/progress_line.h"
#include "records/record_builder.h"
#include "records/record_list.h"

namespace kelvador {
void BuildRecord(const ColumnLayout&, const RowSlots&, std::string* record) { record->clear(); }
int AddRecord(RunState&, std::string_view) { return 0; }
void FreeRecords(RunState& run) { run.record_list.reset(); }
int WriteFile(RunState&) { return 0; }
std::unique_ptr<ProgressLine> ProgressLine::ForStandardError() { return nullptr; }
}  // namespace kelvador
