#ifndef KELVADOR_RECORDS_RECORD_MERGE_H_
#define KELVADOR_RECORDS_RECORD_MERGE_H_

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "records/buffered_writer.h"

namespace kelvador {

// A sequence of fixed-length records in ascending order, handed out in blocks.
class SortedRecords {
 public:
  virtual ~SortedRecords() = default;
  // Points *block at the next records and returns how many there are: 0 at the
  // end, -1 when they cannot be read. A block stays valid until the next call.
  virtual std::int64_t NextBlock(const std::uint8_t** block) = 0;
};

// Records already in memory, handed out as one block; the memory is not owned.
class MemoryRecords : public SortedRecords {
 public:
  MemoryRecords(const std::uint8_t* data, std::int64_t count) : data_(data), count_(count) {}
  std::int64_t NextBlock(const std::uint8_t** block) override;

 private:
  const std::uint8_t* data_;
  std::int64_t count_;
};

// `count` records of `length` bytes from the start of the file `fd` (not
// owned), read with a buffer of about `buffer_bytes`.
class FileRecords : public SortedRecords {
 public:
  FileRecords(int fd, std::int64_t count, std::size_t length, std::size_t buffer_bytes);
  std::int64_t NextBlock(const std::uint8_t** block) override;

 private:
  int fd_;
  std::int64_t remaining_;
  std::size_t length_;
  std::size_t buffer_records_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::int64_t offset_ = 0;
};

// Called with the number of records merged so far, every 65536 records.
using MergeProgress = std::function<void(std::int64_t)>;

// Writes the records of all `sources` (each ascending, records of `length`
// bytes) to `out` in ascending unsigned byte order, equal records all kept.
// Returns 0, or -1 when a source cannot be read or `out` has failed.
int MergeRecords(const std::vector<SortedRecords*>& sources, std::size_t length,
                 BufferedWriter& out, const MergeProgress& progress);

}  // namespace kelvador

#endif  // KELVADOR_RECORDS_RECORD_MERGE_H_
