#include "records/buffered_writer.h"

#include <cerrno>
#include <new>

#include <unistd.h>

namespace kelvador {

BufferedWriter::BufferedWriter(int fd, std::size_t capacity)
    : fd_(fd), buffer_(new (std::nothrow) std::uint8_t[capacity == 0 ? 1 : capacity]),
      capacity_(capacity == 0 ? 1 : capacity) {
  if (!buffer_) {
    failed_ = true;
    capacity_ = 0;
  }
}

void BufferedWriter::WriteAll(const std::uint8_t* data, std::size_t size) {
  while (size > 0 && !failed_) {
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
    written_ += done;
  }
}

void BufferedWriter::AppendSlow(const std::uint8_t* data, std::size_t size) {
  if (failed_) return;
  const std::size_t room = capacity_ - used_;
  std::memcpy(buffer_.get() + used_, data, room);
  used_ += room;
  data += room;
  size -= room;
  const std::size_t full = used_;
  used_ = 0;
  WriteAll(buffer_.get(), full);
  if (size >= capacity_) {  // a large piece goes out without a copy
    WriteAll(data, size);
    return;
  }
  std::memcpy(buffer_.get(), data, size);
  used_ = size;
}

int BufferedWriter::Flush() {
  if (!failed_ && used_ > 0) {
    const std::size_t full = used_;
    used_ = 0;
    WriteAll(buffer_.get(), full);
  }
  return failed_ ? -1 : 0;
}

}  // namespace kelvador
