#include "records/record_sort.h"

#include <algorithm>

namespace kelvador {
namespace {

// Sorts keys by their prefixes, taken at `offset`; runs of equal prefixes are
// then sorted by the next 8 bytes, and so on, so that a long common start of
// the records costs one pass per 8 bytes instead of a full compare per step.
void SortKeysFrom(const std::uint8_t* data, std::size_t length, SortKey* keys, std::size_t count,
                  std::size_t offset) {
  for (;;) {
    // Groups of identical records are common in extracts; they pass each level
    // with one look instead of a sort.
    bool all_equal = true;
    for (std::size_t i = 1; i < count && all_equal; ++i) all_equal = keys[i].prefix == keys[0].prefix;
    if (!all_equal) {
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
            SortKeysFrom(data, length, keys + largest_start, largest_size, next);
          }
          largest_start = group_start;
          largest_size = size;
        } else {
          SortKeysFrom(data, length, keys + group_start, size, next);
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

void SortRecords(std::uint8_t* data, std::size_t count, std::size_t length, SortKey* keys,
                 std::uint8_t* spare_record) {
  if (count < 2 || length == 0) return;
  for (std::size_t i = 0; i < count; ++i) {
    keys[i] = SortKey{RecordPrefix(data + i * length, 0, length), static_cast<std::uint32_t>(i)};
  }
  SortKeysFrom(data, length, keys, count, 0);
  // Position i must receive record keys[i].index: follow each cycle of the
  // permutation once, marking placed positions by pointing them at themselves.
  for (std::size_t start = 0; start < count; ++start) {
    if (keys[start].index == start) continue;
    std::memcpy(spare_record, data + start * length, length);
    std::size_t position = start;
    for (;;) {
      const std::size_t source = keys[position].index;
      keys[position].index = static_cast<std::uint32_t>(position);
      if (source == start) {
        std::memcpy(data + position * length, spare_record, length);
        break;
      }
      std::memcpy(data + position * length, data + source * length, length);
      position = source;
    }
  }
}

}  // namespace kelvador
