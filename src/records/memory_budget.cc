#include "records/memory_budget.h"

#include <cstdint>
#include <cstdlib>

#include "platform/system_memory.h"

namespace kelvador {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr std::size_t kDefaultBudget = 1024 * kMiB;
constexpr std::size_t kLargestBudgetMiB = std::size_t{1} << 30;  // 1 PiB

}  // namespace

std::size_t DefaultMemoryBudgetBytes() {
  const std::uint64_t memory = UsableMemoryBytes();
  if (memory == 0) return kDefaultBudget;
  const std::uint64_t quarter = memory / 4;
  return quarter < kDefaultBudget ? static_cast<std::size_t>(quarter) : kDefaultBudget;
}

std::size_t MemoryBudgetBytes() {
  const char* text = std::getenv(kMemoryBudgetVariable);
  if (text == nullptr || *text == '\0') return DefaultMemoryBudgetBytes();
  std::size_t mib = 0;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return DefaultMemoryBudgetBytes();
    mib = mib * 10 + static_cast<std::size_t>(*c - '0');
    if (mib > kLargestBudgetMiB) return DefaultMemoryBudgetBytes();
  }
  if (mib == 0) return DefaultMemoryBudgetBytes();
  return mib * kMiB;
}

}  // namespace kelvador
