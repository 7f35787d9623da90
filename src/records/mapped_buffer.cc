#include "records/mapped_buffer.h"

#include <algorithm>

#include <sys/mman.h>

namespace kelvador {

bool MappedBuffer::Allocate(std::size_t size) {
  Release();
  if (size == 0) size = 1;
  void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return false;
  // No huge pages are asked for: the system clears a 2 MiB page whole at its
  // first touch, past the caches, and at 5M rows that cost twice the system
  // time of 4 KiB faults, whose cleared page is written while still cached.
  data_ = static_cast<std::uint8_t*>(block);
  size_ = size;
  return true;
}

void MappedBuffer::Prefault(std::size_t bytes) {
  bytes = std::min(bytes, size_);
#if defined(MADV_POPULATE_WRITE)
  // One request instead of a fault per page, where the system knows it.
  constexpr std::size_t kPage = 4096;
  if (bytes != 0 && madvise(data_, (bytes + kPage - 1) / kPage * kPage, MADV_POPULATE_WRITE) == 0) {
    return;
  }
#endif
  TouchEveryPage(data_, bytes);
}

void MappedBuffer::GiveBackPages(std::size_t begin, std::size_t end) {
  constexpr std::size_t kPage = 4096;
  const std::size_t first = begin / kPage * kPage;
  const std::size_t last = std::min(end, size_) / kPage * kPage;
  if (first < last) madvise(data_ + first, last - first, MADV_DONTNEED);
}

void MappedBuffer::Release() {
  if (data_ != nullptr) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace kelvador
