#ifndef KELVADOR_RECORDS_BUFFERED_WRITER_H_
#define KELVADOR_RECORDS_BUFFERED_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kelvador {

// Collects bytes in a large buffer and writes them to a file descriptor it does
// not own. The first failing write is remembered; later appends do nothing and
// Flush reports it.
class BufferedWriter {
 public:
  // A writer with a buffer of `capacity` bytes (at least 1); ok() is false
  // when the buffer could not be allocated.
  BufferedWriter(int fd, std::size_t capacity);

  bool ok() const { return !failed_; }
  std::int64_t bytes_written() const { return written_ + static_cast<std::int64_t>(used_); }

  void Append(const void* data, std::size_t size) {
    if (size < capacity_ - used_) {
      std::memcpy(buffer_.get() + used_, data, size);
      used_ += size;
    } else {
      AppendSlow(static_cast<const std::uint8_t*>(data), size);
    }
  }

  // Writes out what is buffered. Returns 0, or -1 when any write failed.
  int Flush();

 private:
  void AppendSlow(const std::uint8_t* data, std::size_t size);
  void WriteAll(const std::uint8_t* data, std::size_t size);

  int fd_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t capacity_;
  std::size_t used_ = 0;
  std::int64_t written_ = 0;
  bool failed_ = false;
};

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_BUFFERED_WRITER_H_
