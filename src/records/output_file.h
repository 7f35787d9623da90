#ifndef KELVADOR_RECORDS_OUTPUT_FILE_H_
#define KELVADOR_RECORDS_OUTPUT_FILE_H_

#include <string>
#include <sys/types.h>

namespace kelvador {

// The download file while it is being written, so that a failure never leaves
// a damaged target. Replacing a regular or missing file writes a temporary
// file beside it that is renamed over the target once complete; a target that
// is no regular file (a FIFO, a terminal, /dev/stdout) is written directly;
// appending remembers the old length and cuts the file back on failure.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // abandons a file that was opened and not committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens `target` for replacing (true) or appending (false). Returns 0, or -1
  // when it cannot be opened or its temporary file cannot be created; the
  // target is then unchanged. A read-only existing target cannot be opened.
  int Open(const std::string& target, bool replace);

  // The descriptor to write the records to, after Open returned 0.
  int fd() const { return fd_; }

  // True when the records go to a new regular file, written from its start.
  bool writes_new_file() const { return mode_ == Mode::kTemporary; }

  // Makes what was written the target's content: for a temporary file flush to
  // disk, keep the old file's permission bits and rename it over the target.
  // Returns 0, or -1 after which the target has its old content or length.
  int Commit();

  // Gives up: removes the temporary file or cuts an appended file back to its
  // old length. Does nothing when nothing is open.
  void Abandon();

 private:
  enum class Mode { kNone, kTemporary, kDirect, kAppend };

  Mode mode_ = Mode::kNone;
  int fd_ = -1;
  std::string target_;     // the file the content is for (a symbolic link resolved)
  std::string temp_path_;  // kTemporary only
  int temp_slot_ = -1;     // its entry in the signal-time removal list
  off_t old_length_ = -1;  // kAppend to a regular file only
};

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_OUTPUT_FILE_H_
