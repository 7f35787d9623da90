#include "records/record_merge.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "platform/read_at.h"
#include "records/record_sort.h"

namespace kelvador {

std::int64_t MemoryRecords::NextBlock(const std::uint8_t** block) {
  *block = data_;
  const std::int64_t count = count_;
  count_ = 0;
  return count;
}

FileRecords::FileRecords(int fd, std::int64_t count, std::size_t length, std::size_t buffer_bytes)
    : fd_(fd), remaining_(count), length_(length),
      buffer_records_(std::max<std::size_t>(1, buffer_bytes / length)),
      buffer_(new (std::nothrow) std::uint8_t[buffer_records_ * length]) {}

std::int64_t FileRecords::NextBlock(const std::uint8_t** block) {
  if (remaining_ == 0) return 0;
  if (!buffer_) return -1;
  const std::int64_t records =
      std::min<std::int64_t>(remaining_, static_cast<std::int64_t>(buffer_records_));
  const std::size_t bytes = static_cast<std::size_t>(records) * length_;
  std::size_t done = 0;
  while (done < bytes) {
    const std::int64_t got = ReadAt(fd_, buffer_.get() + done, bytes - done, offset_ + done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return -1;  // a run file shorter than its records is damaged
    done += static_cast<std::size_t>(got);
  }
  offset_ += static_cast<std::int64_t>(bytes);
  remaining_ -= records;
  *block = buffer_.get();
  return records;
}

namespace {

constexpr std::int64_t kProgressEvery = 1 << 16;

struct Head {
  std::uint64_t prefix;
  const std::uint8_t* record;
  const std::uint8_t* end;
  SortedRecords* source;
};

}  // namespace

int MergeRecords(const std::vector<SortedRecords*>& sources, std::size_t length,
                 BufferedWriter& out, const MergeProgress& progress) {
  std::vector<Head> heap;
  heap.reserve(sources.size());
  for (SortedRecords* source : sources) {
    const std::uint8_t* block = nullptr;
    const std::int64_t count = source->NextBlock(&block);
    if (count < 0) return -1;
    if (count == 0) continue;
    heap.push_back(Head{RecordPrefix(block, 0, length), block,
                        block + static_cast<std::size_t>(count) * length, source});
  }
  const auto greater = [length](const Head& a, const Head& b) {
    return RecordLess(b.prefix, b.record, a.prefix, a.record, length);
  };
  std::make_heap(heap.begin(), heap.end(), greater);

  std::int64_t merged = 0;
  std::int64_t next_report = kProgressEvery;
  while (heap.size() > 1) {
    Head& top = heap.front();
    out.Append(top.record, length);
    top.record += length;
    if (++merged == next_report) {
      if (progress) progress(merged);
      if (!out.ok()) return -1;
      next_report += kProgressEvery;
    }
    if (top.record == top.end) {
      const std::uint8_t* block = nullptr;
      const std::int64_t count = top.source->NextBlock(&block);
      if (count < 0) return -1;
      if (count == 0) {
        std::pop_heap(heap.begin(), heap.end(), greater);
        heap.pop_back();
        continue;
      }
      top.record = block;
      top.end = block + static_cast<std::size_t>(count) * length;
    }
    top.prefix = RecordPrefix(top.record, 0, length);
    // Sift the new head down: the smaller child moves up while it sorts first.
    std::size_t hole = 0;
    const Head moving = top;
    for (;;) {
      std::size_t child = 2 * hole + 1;
      if (child >= heap.size()) break;
      if (child + 1 < heap.size() && greater(heap[child], heap[child + 1])) ++child;
      if (!greater(moving, heap[child])) break;
      heap[hole] = heap[child];
      hole = child;
    }
    heap[hole] = moving;
  }
  if (!heap.empty()) {
    Head& last = heap.front();
    const std::uint8_t* block = last.record;
    std::int64_t count = (last.end - last.record) / static_cast<std::int64_t>(length);
    while (count > 0) {
      out.Append(block, static_cast<std::size_t>(count) * length);
      merged += count;
      count = last.source->NextBlock(&block);
      if (count < 0) return -1;
    }
    if (progress) progress(merged);
  }
  return out.ok() ? 0 : -1;
}

}  // namespace kelvador
