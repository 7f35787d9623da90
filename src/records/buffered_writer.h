#ifndef KELVADOR_RECORDS_BUFFERED_WRITER_H_
#define KELVADOR_RECORDS_BUFFERED_WRITER_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>

#include "records/mapped_buffer.h"

namespace kelvador {

// Collects bytes in a large buffer and writes them to a file descriptor it does
// not own. The first failing write is remembered; later appends do nothing and
// Flush reports it. A writer made `in_background` hands each full buffer to a
// second thread and goes on filling a second buffer, so producing the bytes
// and copying them into the file overlap on two cores.
class BufferedWriter {
 public:
  // A writer with buffers of `capacity` bytes (at least 1); ok() is false
  // when a buffer could not be allocated.
  BufferedWriter(int fd, std::size_t capacity, bool in_background = false);
  // Waits for a write still in flight; does not flush.
  ~BufferedWriter();
  BufferedWriter(const BufferedWriter&) = delete;
  BufferedWriter& operator=(const BufferedWriter&) = delete;

  bool ok() const { return !failed_.load(std::memory_order_relaxed); }

  // Asks the system to start putting each written buffer on disk at once, so
  // that a final fsync finds little left to do. Where the system has no such
  // request, nothing changes.
  void StartWritebackEarly() { start_writeback_ = true; }

  // For a regular file written from its start: whole blocks go from the
  // writer's own buffers to the disk, past the system's file cache, so that
  // writing a large file takes no fresh memory for cached pages. The last
  // partial block, and everything after a write the file system refuses so,
  // goes through the cache as usual. Call before the first Append; where the
  // system has no such writing, nothing changes.
  void BypassFileCache();

  void Append(const void* data, std::size_t size) {
    if (size < capacity_ - used_) {
      std::memcpy(buffer_.data() + used_, data, size);
      used_ += size;
    } else {
      AppendSlow(static_cast<const std::uint8_t*>(data), size);
    }
  }

  // Writes out what is buffered and waits for it. Returns 0, or -1 when any
  // write failed.
  int Flush();

  // Ends the writing of bytes produced with `result` (0 when producing them
  // went well): flushes when it did, and in every case waits for a write still
  // in flight, so that the descriptor may be closed or removed afterwards.
  // Returns 0, or -1 when `result` or any write failed.
  int Finish(int result);

 private:
  void AppendSlow(const std::uint8_t* data, std::size_t size);
  // Writes the full buffer, in the background when asked for; empties it.
  void WriteBuffer();
  void WaitForBackgroundWrite();
  void WriteAll(const std::uint8_t* data, std::size_t size);
  void StopBypassingFileCache();

  int fd_;
  bool in_background_;
  bool start_writeback_ = false;
  bool bypass_cache_ = false;  // whole blocks are written past the file cache
  // Mapped, so page aligned as writing past the file cache needs.
  MappedBuffer buffer_;
  MappedBuffer spare_;  // being written in the background
  std::size_t capacity_;
  std::size_t used_ = 0;
  std::atomic<bool> failed_{false};
  std::thread background_;
};

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_BUFFERED_WRITER_H_
