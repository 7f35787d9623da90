#ifndef KELVADOR_RECORDS_PROGRESS_LINE_H_
#define KELVADOR_RECORDS_PROGRESS_LINE_H_

#include <cstdint>
#include <memory>

namespace kelvador {

// A single self-updating line on standard error for long runs. Exists only when
// standard error is a terminal, so batch logs never see it.
class ProgressLine {
 public:
  virtual ~ProgressLine() = default;
  // Returns a progress line when standard error is a terminal, else none.
  static std::unique_ptr<ProgressLine> ForStandardError();
  // Called once per fetched row; cheap, redraws at most a few times a second.
  virtual void RowFetched(std::int32_t rows) = 0;
  // Called while spilled runs are merged into the download file, with the
  // records written so far and in all; redraws at most a few times a second.
  virtual void Merging(std::int64_t merged, std::int64_t total) = 0;
  // Clears the line before the summary is printed; does nothing when nothing
  // is shown, so it may be called more than once.
  virtual void Finish() = 0;
};

// A progress line drawn on `fd` whatever it is; for tests. `check_every` rows
// pass between looks at the clock.
std::unique_ptr<ProgressLine> ProgressLineOn(int fd, std::int32_t check_every);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_PROGRESS_LINE_H_
