#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/read_at.h"

namespace kelvador {

std::int64_t ReadAt(int fd, void* buffer, std::size_t size, std::int64_t offset) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) {
    errno = EBADF;
    return -1;
  }
  // An OVERLAPPED offset on a synchronous handle reads at that position.
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(static_cast<std::uint64_t>(offset) & 0xffffffffu);
  position.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  const DWORD wanted = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(handle, buffer, wanted, &got, &position)) {
    if (GetLastError() == ERROR_HANDLE_EOF) return 0;
    errno = EIO;
    return -1;
  }
  return got;
}

}  // namespace kelvador
