#include "records/mapped_buffer.h"

#include <sys/mman.h>

namespace kelvador {

bool MappedBuffer::Allocate(std::size_t size) {
  Release();
  if (size == 0) size = 1;
  void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return false;
  // Record chunks are filled front to back right after they are mapped: huge
  // pages save a page fault per 4 KiB, where the system allows them.
  constexpr std::size_t kHugePage = 2 << 20;
  if (size >= kHugePage) madvise(block, size, MADV_HUGEPAGE);
  data_ = static_cast<std::uint8_t*>(block);
  size_ = size;
  return true;
}

void MappedBuffer::Release() {
  if (data_ != nullptr) munmap(data_, size_);
  data_ = nullptr;
  size_ = 0;
}

}  // namespace kelvador
