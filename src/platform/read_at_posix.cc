#include <unistd.h>

#include "platform/read_at.h"

namespace kelvador {

std::int64_t ReadAt(int fd, void* buffer, std::size_t size, std::int64_t offset) {
  return pread(fd, buffer, size, static_cast<off_t>(offset));
}

}  // namespace kelvador
