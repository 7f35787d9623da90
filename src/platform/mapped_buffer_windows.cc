// MappedBuffer on Windows: blocks come straight from VirtualAlloc and go back
// with VirtualFree, as mmap and munmap do elsewhere.
#include <windows.h>

#include <algorithm>

#include "records/mapped_buffer.h"

namespace kelvador {

bool MappedBuffer::Allocate(std::size_t size) {
  Release();
  if (size == 0) size = 1;
  void* block = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (block == nullptr) return false;
  data_ = static_cast<std::uint8_t*>(block);
  size_ = size;
  return true;
}

void MappedBuffer::Prefault(std::size_t bytes) { TouchEveryPage(data_, std::min(bytes, size_)); }

void MappedBuffer::GiveBackPages(std::size_t begin, std::size_t end) {
  constexpr std::size_t kPage = 4096;
  const std::size_t first = begin / kPage * kPage;
  const std::size_t last = std::min(end, size_) / kPage * kPage;
  if (first < last) VirtualFree(data_ + first, last - first, MEM_DECOMMIT);
}

void MappedBuffer::Release() {
  if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace kelvador
