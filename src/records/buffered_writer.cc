#include "records/buffered_writer.h"

#include <cerrno>
#include <new>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace kelvador {

BufferedWriter::BufferedWriter(int fd, std::size_t capacity, bool in_background)
    : fd_(fd),
      in_background_(in_background),
      buffer_(new (std::nothrow) std::uint8_t[capacity == 0 ? 1 : capacity]),
      capacity_(capacity == 0 ? 1 : capacity) {
  if (in_background_) spare_.reset(new (std::nothrow) std::uint8_t[capacity_]);
  if (!buffer_ || (in_background_ && !spare_)) {
    failed_ = true;
    capacity_ = 0;
  }
}

BufferedWriter::~BufferedWriter() { WaitForBackgroundWrite(); }

void BufferedWriter::WaitForBackgroundWrite() {
  if (background_.joinable()) background_.join();
}

void BufferedWriter::WriteAll(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return;
  while (size > 0 && !failed_.load(std::memory_order_relaxed)) {
    const ssize_t done = write(fd_, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return;
    }
    if (done == 0) {  // no progress on a regular file means no space
      failed_ = true;
      return;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
#if defined(__linux__)
  // Only a request: pages already on their way are not waited for.
  if (start_writeback_ && size == 0) sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

void BufferedWriter::WriteBuffer() {
  const std::size_t full = used_;
  used_ = 0;
  WaitForBackgroundWrite();  // one write at a time, in order
  if (!in_background_) {
    WriteAll(buffer_.get(), full);
    return;
  }
  std::swap(buffer_, spare_);
  try {
    background_ = std::thread([this, full] { WriteAll(spare_.get(), full); });
  } catch (const std::system_error&) {  // no thread to be had: write it here
    WriteAll(spare_.get(), full);
  }
}

void BufferedWriter::AppendSlow(const std::uint8_t* data, std::size_t size) {
  if (!ok()) return;
  const std::size_t room = capacity_ - used_;
  std::memcpy(buffer_.get() + used_, data, room);
  used_ += room;
  data += room;
  size -= room;
  WriteBuffer();
  if (size >= capacity_) {  // a large piece goes out without a copy, after what came before
    WaitForBackgroundWrite();
    WriteAll(data, size);
    return;
  }
  std::memcpy(buffer_.get(), data, size);
  used_ = size;
}

int BufferedWriter::Flush() {
  if (ok() && used_ > 0) WriteBuffer();
  WaitForBackgroundWrite();
  return ok() ? 0 : -1;
}

}  // namespace kelvador
