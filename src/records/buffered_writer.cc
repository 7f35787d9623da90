#include "records/buffered_writer.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace kelvador {
namespace {

// Writes past the file cache must start, end and sit in memory on a block
// boundary; 4 KiB suits disks with 512-byte and 4 KiB sectors alike.
constexpr std::size_t kDiskBlock = 4096;

bool OnBlockBoundary(const std::uint8_t* data) {
  return reinterpret_cast<std::uintptr_t>(data) % kDiskBlock == 0;
}

}  // namespace

BufferedWriter::BufferedWriter(int fd, std::size_t capacity, bool in_background)
    : fd_(fd), in_background_(in_background), capacity_(capacity == 0 ? 1 : capacity) {
  const bool allocated =
      buffer_.Allocate(capacity_) && (!in_background_ || spare_.Allocate(capacity_));
  if (!allocated) {
    failed_ = true;
    capacity_ = 0;
  }
}

BufferedWriter::~BufferedWriter() { WaitForBackgroundWrite(); }

void BufferedWriter::BypassFileCache() {
#if defined(__linux__) && defined(O_DIRECT)
  const int flags = fcntl(fd_, F_GETFL);
  // File systems without such writing refuse the flag itself.
  bypass_cache_ = flags >= 0 && fcntl(fd_, F_SETFL, flags | O_DIRECT) == 0;
#endif
}

void BufferedWriter::StopBypassingFileCache() {
  bypass_cache_ = false;
#if defined(__linux__) && defined(O_DIRECT)
  const int flags = fcntl(fd_, F_GETFL);
  if (flags >= 0 && (flags & O_DIRECT) != 0 && fcntl(fd_, F_SETFL, flags & ~O_DIRECT) != 0) {
    failed_ = true;  // would leave later writes refused for their alignment
  }
#endif
}

void BufferedWriter::WaitForBackgroundWrite() {
  if (background_.joinable()) background_.join();
}

void BufferedWriter::WriteAll(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  while (size > 0 && !failed_.load(std::memory_order_relaxed)) {
    if (bypass_cache_ && (size < kDiskBlock || !OnBlockBoundary(data))) StopBypassingFileCache();
    // Past the cache only whole blocks; a partial one follows through the cache.
    const std::size_t piece = bypass_cache_ ? size - size % kDiskBlock : size;
    const ssize_t done = write(fd_, data, piece);
    if (done < 0) {
      if (errno == EINTR) continue;
      if (errno == EINVAL && bypass_cache_) {  // this file system wants other blocks
        StopBypassingFileCache();
        continue;
      }
      failed_ = true;
      return;
    }
    if (done == 0) {  // no progress on a regular file means no space
      failed_ = true;
      return;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
    // A short write leaves the file's end off a block boundary.
    if (bypass_cache_ && static_cast<std::size_t>(done) % kDiskBlock != 0) StopBypassingFileCache();
  }
#if defined(__linux__)
  // Only a request: pages already on their way are not waited for.
  if (start_writeback_ && !bypass_cache_ && size == 0) {
    sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
  }
#endif
}

void BufferedWriter::WriteBuffer() {
  const std::size_t full = used_;
  used_ = 0;
  WaitForBackgroundWrite();  // one write at a time, in order
  if (!in_background_) {
    WriteAll(buffer_.data(), full);
    return;
  }
  std::swap(buffer_, spare_);
  try {
    background_ = std::thread([this, full] { WriteAll(spare_.data(), full); });
  } catch (const std::system_error&) {  // no thread to be had: write it here
    WriteAll(spare_.data(), full);
  }
}

void BufferedWriter::AppendSlow(const std::uint8_t* data, std::size_t size) {
  if (!ok()) return;
  const std::size_t room = capacity_ - used_;
  std::memcpy(buffer_.data() + used_, data, room);
  used_ += room;
  data += room;
  size -= room;
  WriteBuffer();
  if (size >= capacity_) {  // a large piece goes out without a copy, after what came before
    WaitForBackgroundWrite();
    WriteAll(data, size);
    return;
  }
  std::memcpy(buffer_.data(), data, size);
  used_ = size;
}

int BufferedWriter::Flush() {
  if (ok() && used_ > 0) WriteBuffer();
  WaitForBackgroundWrite();
  return ok() ? 0 : -1;
}

int BufferedWriter::Finish(int result) {
  if (result == 0) return Flush();
  WaitForBackgroundWrite();
  return -1;
}

}  // namespace kelvador
