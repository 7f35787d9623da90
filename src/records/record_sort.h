#ifndef KELVADOR_RECORDS_RECORD_SORT_H_
#define KELVADOR_RECORDS_RECORD_SORT_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace kelvador {

// The first 8 bytes of `record` from `offset` on, as a big-endian number, so
// that numbers compare as the bytes do unsigned; bytes past `length` count as 0.
inline std::uint64_t RecordPrefix(const std::uint8_t* record, std::size_t offset,
                                  std::size_t length) {
  std::uint64_t prefix = 0;
  if (offset + 8 <= length) {
    std::memcpy(&prefix, record + offset, 8);
  } else if (offset < length) {
    std::memcpy(&prefix, record + offset, length - offset);
  }
  if constexpr (std::endian::native == std::endian::little) prefix = __builtin_bswap64(prefix);
  return prefix;
}

// True when record a sorts before record b: unsigned bytes, the first
// difference decides. Both have `length` bytes; the prefixes are those at 0.
inline bool RecordLess(std::uint64_t prefix_a, const std::uint8_t* a, std::uint64_t prefix_b,
                       const std::uint8_t* b, std::size_t length) {
  if (prefix_a != prefix_b) return prefix_a < prefix_b;
  return length > 8 && std::memcmp(a + 8, b + 8, length - 8) < 0;
}

// One entry of the sorting index: a record's number and 8 of its bytes.
struct SortKey {
  std::uint64_t prefix;
  std::uint32_t index;
};

// Bytes of sorting index that sorting `count` records needs.
inline std::size_t SortIndexBytes(std::size_t count) { return 2 * count * sizeof(SortKey); }

// Writes the `count` records of `length` bytes each, stored one after another
// at `data`, to `sorted` in ascending unsigned byte order, identical ones all
// kept. `sorted` has room for them all and does not overlap `data`; `index`
// has SortIndexBytes(count) bytes of scratch.
void SortRecords(const std::uint8_t* data, std::size_t count, std::size_t length, SortKey* index,
                 std::uint8_t* sorted);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_RECORD_SORT_H_
