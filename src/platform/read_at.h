#ifndef KELVADOR_PLATFORM_READ_AT_H_
#define KELVADOR_PLATFORM_READ_AT_H_

#include <cstddef>
#include <cstdint>

namespace kelvador {

// Reads up to `size` bytes at byte `offset` of the file open as descriptor
// `fd`, as pread does. Returns the count read (0 at the end of the file), or -1
// with errno set; EINTR means the call may simply be repeated.
std::int64_t ReadAt(int fd, void* buffer, std::size_t size, std::int64_t offset);

}  // namespace kelvador

#endif  // KELVADOR_PLATFORM_READ_AT_H_
