#ifndef KELVADOR_RECORDS_RECORD_LIST_H_
#define KELVADOR_RECORDS_RECORD_LIST_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "kelvador/run_state.h"
#include "records/record_merge.h"

namespace kelvador {

// How a record list is sized and where it spills. Zero sizes take defaults.
struct RecordListOptions {
  // Bytes the records, the sorting index and the buffers may hold together;
  // 0 takes MemoryBudgetBytes() (records/memory_budget.h: KELVADOR_MEMORY_BUDGET_MB).
  std::size_t memory_budget = 0;
  // Bytes of one chunk of records; 0 derives it from the budget (1/16, from
  // 64 KiB to 16 MiB).
  std::size_t chunk_bytes = 0;
  std::string spill_folder = ".";  // where sorted runs go past the budget
  std::string spill_name;          // names the run files (the target's last component)
};

// The records of one run. All records of a run have the first record's
// length, so they are stored flat in large chunks without an allocation per
// record. A filled chunk is sorted by a background thread while rows are
// still being fetched; past the memory budget the sorted chunks are merged
// into a temporary run file beside the target. The order is only produced
// when the records are written: merging every chunk and run file.
class RecordList {
 public:
  // Results of Finish besides 0.
  static constexpr int kRunFileNotCreated = -1;  // no run file could be created
  static constexpr int kRunFileNotWritten = -2;  // a run file could not be written or memory ran out

  explicit RecordList(RecordListOptions options);
  // Stops the background thread; releases the records and the run files.
  ~RecordList();
  RecordList(const RecordList&) = delete;
  RecordList& operator=(const RecordList&) = delete;

  // Stores a copy of `record`. Returns 1, or 0 when it is not stored: memory
  // ran out, its length differs from the first record's, or an earlier run file
  // failed (Finish then says which).
  int Add(std::string_view record);

  std::int64_t count() const;        // records stored
  std::size_t record_length() const;  // the first record's length, 0 before it
  bool spilled() const;              // true once records went to a run file (after Finish)

  // Sorts what is left and waits for the background thread; afterwards Add
  // must not be called. Returns 0, kRunFileNotCreated or kRunFileNotWritten.
  int Finish();

  // After Finish returned 0: writes every record in ascending unsigned byte
  // order, identical ones all kept, to `out`. Returns 0, or -1 when a run file
  // cannot be read or `out` failed. `progress` may be empty. The records'
  // memory is given back as they are written: call it once.
  int WriteSorted(BufferedWriter& out, const MergeProgress& progress);

  struct State;  // defined in record_list.cc

 private:
  std::unique_ptr<State> state_;
};

// Stores a copy of `record` in the run's record list, creating the list on
// first use (spilling beside the target file, within MemoryBudgetBytes()).
// Returns 1 when stored, 0 when not.
int AddRecord(RunState& run, std::string_view record);

// Releases the run's records and the list; a run without a list is left alone.
void FreeRecords(RunState& run);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_RECORD_LIST_H_
