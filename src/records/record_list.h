#ifndef KELVADOR_RECORDS_RECORD_LIST_H_
#define KELVADOR_RECORDS_RECORD_LIST_H_

#include <string_view>

#include "kelvador/run_state.h"

namespace kelvador {

// Placeholder: the records of one run.
class RecordList {};

// Stores a copy of `record` in the run's record list, creating the list on
// first use. Returns 1 when stored, 0 when not.
int AddRecord(RunState& run, std::string_view record);

// Releases the run's records and the list; a run without a list is left alone.
void FreeRecords(RunState& run);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_RECORD_LIST_H_
