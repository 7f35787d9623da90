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
  // Clears the line before the summary is printed.
  virtual void Finish() = 0;
};

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_PROGRESS_LINE_H_
