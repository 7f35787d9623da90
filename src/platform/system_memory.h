#ifndef KELVADOR_PLATFORM_SYSTEM_MEMORY_H_
#define KELVADOR_PLATFORM_SYSTEM_MEMORY_H_

#include <cstdint>

namespace kelvador {

// The memory this process could use at most: the machine's physical memory,
// and no more than the process's address space (2 GiB for a 32-bit Windows
// program). 0 when the system does not tell.
std::uint64_t UsableMemoryBytes();

}  // namespace kelvador

#endif  // KELVADOR_PLATFORM_SYSTEM_MEMORY_H_
