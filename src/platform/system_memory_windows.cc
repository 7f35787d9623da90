#include <windows.h>

#include "platform/system_memory.h"

namespace kelvador {

std::uint64_t UsableMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullTotalPhys < status.ullTotalVirtual ? status.ullTotalPhys
                                                      : status.ullTotalVirtual;
}

}  // namespace kelvador
