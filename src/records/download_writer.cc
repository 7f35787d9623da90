#include "records/download_writer.h"

#include <cstdio>

#include "records/buffered_writer.h"
#include "records/output_file.h"
#include "records/progress_line.h"
#include "records/record_list.h"

namespace kelvador {
namespace {

constexpr std::size_t kOutputBufferBytes = 1 << 20;

int CannotOpen() {
  std::printf("Ausgabedatei konnte nicht geoeffnet \n");
  return -1;
}

int CannotWrite() {
  std::printf("Ausgabedatei konnte nicht geschrieben werden \n");
  return -1;
}

}  // namespace

int WriteFile(RunState& run) {
  if (run.progress) run.progress->Finish();  // the trace lines start on a clean line
  const bool debug = run.arguments.debug_flag != 0;
  if (debug) std::printf("Str WriteFile\n");
  RecordList* list = run.record_list.get();
  if (list != nullptr && list->count() > 0) {
    // Sorting the last records and waiting for the background thread come
    // first: a failed run file leaves the target untouched.
    const int finished = list->Finish();
    if (finished == RecordList::kRunFileNotCreated) return CannotOpen();
    if (finished != 0) return CannotWrite();

    OutputFile file;
    if (file.Open(run.arguments.target_file_name, run.arguments.replace_flag == 1) != 0) {
      return CannotOpen();
    }
    BufferedWriter writer(file.fd(), kOutputBufferBytes, /*in_background=*/true);
    // The file is flushed to disk before it replaces the target anyway, so
    // its pages need not pass through the file cache, and a large file would
    // otherwise take as much fresh memory again as the records themselves.
    if (file.writes_new_file()) writer.BypassFileCache();
    writer.StartWritebackEarly();
    MergeProgress progress;
    if (run.progress && list->spilled()) {
      ProgressLine* line = run.progress.get();
      const std::int64_t total = list->count();
      progress = [line, total](std::int64_t merged) { line->Merging(merged, total); };
    }
    int result = list->WriteSorted(writer, progress);
    result = writer.Finish(result);
    if (result == 0) result = file.Commit();
    if (run.progress) run.progress->Finish();
    if (result != 0) {
      file.Abandon();
      return CannotWrite();
    }
  }
  if (debug) std::printf("End WriteFile\n");
  return 0;
}

}  // namespace kelvador
