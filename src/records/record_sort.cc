#include "records/record_sort.h"

#include <algorithm>
#include <array>

namespace kelvador {
namespace {

// Groups at least this large are sorted by radix, smaller ones by comparison.
constexpr std::size_t kRadixSortFrom = 256;

constexpr int kDigitBits = 11;
constexpr int kDigits = (64 + kDigitBits - 1) / kDigitBits;
constexpr std::size_t kDigitValues = std::size_t{1} << kDigitBits;
constexpr std::uint64_t kDigitMask = kDigitValues - 1;

// Sorts keys by prefix, least significant digit first: a pass per digit in
// which the keys differ, so time grows with the count, not count × log count.
// `scratch` holds `count` keys.
void RadixSortByPrefix(SortKey* keys, SortKey* scratch, std::size_t count) {
  std::array<std::array<std::uint32_t, kDigitValues>, kDigits> counts{};
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint64_t prefix = keys[i].prefix;
    for (int digit = 0; digit < kDigits; ++digit) {
      ++counts[digit][(prefix >> (digit * kDigitBits)) & kDigitMask];
    }
  }
  SortKey* from = keys;
  SortKey* to = scratch;
  for (int digit = 0; digit < kDigits; ++digit) {
    std::array<std::uint32_t, kDigitValues>& starts = counts[digit];
    const int shift = digit * kDigitBits;
    if (starts[(from[0].prefix >> shift) & kDigitMask] == count) continue;  // all alike
    std::uint32_t sum = 0;
    for (std::uint32_t& start : starts) {
      const std::uint32_t here = start;
      start = sum;
      sum += here;
    }
    for (std::size_t i = 0; i < count; ++i) to[starts[(from[i].prefix >> shift) & kDigitMask]++] = from[i];
    std::swap(from, to);
  }
  if (from != keys) std::copy(from, from + count, keys);
}

// Sorts keys by their prefixes, taken at `offset`; runs of equal prefixes are
// then sorted by the next 8 bytes, and so on, so that a long common start of
// the records costs one pass per 8 bytes instead of a full compare per step.
void SortKeysFrom(const std::uint8_t* data, std::size_t length, SortKey* keys, SortKey* scratch,
                  std::size_t count, std::size_t offset) {
  for (;;) {
    // Groups of identical records are common in extracts; they pass each level
    // with one look instead of a sort.
    bool all_equal = true;
    for (std::size_t i = 1; i < count && all_equal; ++i) all_equal = keys[i].prefix == keys[0].prefix;
    if (all_equal) {
    } else if (count >= kRadixSortFrom) {
      RadixSortByPrefix(keys, scratch, count);
    } else {
      std::sort(keys, keys + count,
                [](const SortKey& a, const SortKey& b) { return a.prefix < b.prefix; });
    }
    const std::size_t next = offset + 8;
    if (next >= length) return;
    std::size_t group_start = 0;
    std::size_t largest_start = 0;
    std::size_t largest_size = 0;
    // Every group of equal prefixes but the largest is sorted by recursion; the
    // largest continues in this loop, which bounds the depth by log2(count).
    for (std::size_t i = 1; i <= count; ++i) {
      if (i < count && keys[i].prefix == keys[group_start].prefix) continue;
      const std::size_t size = i - group_start;
      if (size > 1) {
        for (std::size_t k = group_start; k < i; ++k) {
          keys[k].prefix = RecordPrefix(data + keys[k].index * length, next, length);
        }
        if (size > largest_size) {
          if (largest_size > 1) {
            SortKeysFrom(data, length, keys + largest_start, scratch, largest_size, next);
          }
          largest_start = group_start;
          largest_size = size;
        } else {
          SortKeysFrom(data, length, keys + group_start, scratch, size, next);
        }
      }
      group_start = i;
    }
    if (largest_size < 2) return;
    keys += largest_start;
    count = largest_size;
    offset = next;
  }
}

}  // namespace

void SortRecords(const std::uint8_t* data, std::size_t count, std::size_t length, SortKey* index,
                 std::uint8_t* sorted) {
  if (length == 0) return;
  SortKey* keys = index;
  SortKey* scratch = index + count;
  for (std::size_t i = 0; i < count; ++i) {
    keys[i] = SortKey{RecordPrefix(data + i * length, 0, length), static_cast<std::uint32_t>(i)};
  }
  if (count > 1) SortKeysFrom(data, length, keys, scratch, count, 0);
  // Gathering writes the result front to back; only the reads jump.
  for (std::size_t i = 0; i < count; ++i) {
    std::memcpy(sorted + i * length, data + keys[i].index * length, length);
  }
}

}  // namespace kelvador
