#ifndef KELVADOR_RECORDS_MEMORY_BUDGET_H_
#define KELVADOR_RECORDS_MEMORY_BUDGET_H_

#include <cstddef>

namespace kelvador {

// The name of the environment variable that sets the memory budget in MiB.
inline constexpr char kMemoryBudgetVariable[] = "KELVADOR_MEMORY_BUDGET_MB";

// The memory the records of one run may hold (records, sorting index and
// buffers together). Past it, sorted runs go to temporary files beside the
// download file. Default: 1 GiB, or a quarter of the physical memory when that
// is less. KELVADOR_MEMORY_BUDGET_MB, a whole number of MiB from 1 on, lowers
// or raises it for an operator or a test; any other value is ignored.
std::size_t MemoryBudgetBytes();

// The default above, without looking at the environment.
std::size_t DefaultMemoryBudgetBytes();

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_MEMORY_BUDGET_H_
