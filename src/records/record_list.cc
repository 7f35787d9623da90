#include "records/record_list.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include <pthread.h>
#include <unistd.h>

#include "records/mapped_buffer.h"
#include "records/memory_budget.h"
#include "records/record_sort.h"
#include "records/temp_files.h"

namespace kelvador {
namespace {

constexpr std::size_t kKiB = 1024;
constexpr std::size_t kMiB = 1024 * kKiB;
constexpr std::size_t kSmallestChunk = 64 * kKiB;
constexpr std::size_t kLargestChunk = 16 * kMiB;
constexpr std::size_t kLargestIoBuffer = 1 * kMiB;
constexpr std::size_t kMaxRunFiles = 64;  // open run files before the smallest are combined
constexpr std::size_t kMaxChunkRecords = 0xFFFFFFFFu;  // sorting index entries hold 32 bits

// A run file: sorted records in an unnamed temporary file.
struct RunFile {
  int fd = -1;
  std::int64_t count = 0;
};

struct Chunk {
  MappedBuffer memory;
  std::size_t count = 0;
};

// A sorted chunk handed to the final merge in blocks of about 1 MiB; the pages
// of each block are given back once the merge asks for the next one. Freeing
// the chunks while the merge waits for the disk costs nothing, and at exit
// would cost their whole size.
class ConsumedChunkRecords : public SortedRecords {
 public:
  ConsumedChunkRecords(MappedBuffer& memory, std::size_t count, std::size_t length)
      : memory_(memory), remaining_(count), length_(length),
        block_records_(std::max<std::size_t>(1, kLargestIoBuffer / length)) {}

  std::int64_t NextBlock(const std::uint8_t** block) override {
    memory_.GiveBackPages(given_back_, offset_);
    given_back_ = offset_;
    if (remaining_ == 0) return 0;
    const std::size_t records = std::min(remaining_, block_records_);
    *block = memory_.data() + offset_;
    offset_ += records * length_;
    remaining_ -= records;
    return static_cast<std::int64_t>(records);
  }

 private:
  MappedBuffer& memory_;
  std::size_t remaining_;
  std::size_t length_;
  std::size_t block_records_;
  std::size_t offset_ = 0;      // where the next block starts
  std::size_t given_back_ = 0;  // pages before this are given back
};

}  // namespace

struct RecordList::State {
  RecordListOptions options;
  std::size_t budget = 0;
  std::size_t chunk_bytes = 0;
  std::size_t length = 0;  // of every record; fixed by the first one
  bool have_length = false;
  std::size_t chunk_records = 0;
  std::size_t reserve = 0;        // memory kept free for chunks in flight and buffers
  std::size_t io_buffer_bytes = 0;
  std::int64_t count = 0;
  Chunk filling;                  // main thread only

  // Shared with the background thread.
  std::mutex mutex;
  std::condition_variable changed;
  bool has_pending = false;
  Chunk pending;                  // a filled chunk waiting to be sorted
  // Chunk buffers whose pages are already touched: sorted chunks' sources,
  // spilled chunks, and one the worker prepares while idle. Fresh pages are
  // costly, so buffers are reused rather than given back and mapped again.
  std::vector<MappedBuffer> free_buffers;
  // True once the first chunk is half full, so that a small extract maps no
  // memory it will not use; false again once mapping ahead failed.
  bool prepare_ahead = false;
  bool stopping = false;
  bool worker_running = false;
  bool worker_tried = false;      // a thread is asked for once
  pthread_t worker{};
  std::atomic<int> status{0};

  // Owned by whoever processes chunks: the background thread while it runs,
  // the main thread after Finish.
  std::vector<Chunk> sorted;      // sorted chunks in memory
  std::size_t sorted_bytes = 0;
  std::vector<RunFile> run_files;
  bool spilled = false;
  bool looked_for_abandoned = false;
  MappedBuffer sort_keys;

  ~State() {
    for (RunFile& run : run_files) close(run.fd);
  }

  void ProcessChunk(Chunk chunk);
  Chunk SortChunk(Chunk& chunk, SortKey* index);
  void KeepSorted(Chunk chunk);
  MappedBuffer PopFreeBuffer();
  MappedBuffer TakeBuffer(std::size_t prefault_bytes = 0);
  void GiveBack(MappedBuffer buffer);
  void SpillSorted();
  void CombineSmallestRuns();
  int CreateRunFile();
  void Fail(int code) {
    int expected = 0;
    status.compare_exchange_strong(expected, code);
    sorted.clear();
    sorted_bytes = 0;
  }
};

namespace {

// The background thread sorts filled chunks and, when idle with no buffer to
// spare, prepares one: the first touch of fresh memory is costly, and here it
// happens on the second core instead of in the fetch loop.
extern "C" void* RunWorker(void* argument) {
  auto* state = static_cast<RecordList::State*>(argument);
  std::unique_lock<std::mutex> lock(state->mutex);
  for (;;) {
    state->changed.wait(lock, [state] {
      return state->has_pending || state->stopping ||
             (state->prepare_ahead && state->free_buffers.empty());
    });
    if (state->has_pending) {
      Chunk chunk = std::move(state->pending);
      state->has_pending = false;
      state->changed.notify_all();
      lock.unlock();
      state->ProcessChunk(std::move(chunk));
      lock.lock();
    } else if (state->stopping) {
      return nullptr;
    } else {
      lock.unlock();
      MappedBuffer empty;
      if (empty.Allocate(state->chunk_records * state->length)) empty.Prefault();
      lock.lock();
      if (empty) {
        state->free_buffers.push_back(std::move(empty));
      } else {
        state->prepare_ahead = false;  // no memory ahead: the fetch loop maps its own
      }
    }
  }
}

}  // namespace

// With `mutex` held: a buffer from the pool, or an empty one.
MappedBuffer RecordList::State::PopFreeBuffer() {
  if (free_buffers.empty()) return MappedBuffer{};
  MappedBuffer buffer = std::move(free_buffers.back());
  free_buffers.pop_back();
  return buffer;
}

// A buffer from the pool, or a freshly mapped one (empty when none is had)
// whose first `prefault_bytes` are provided at once.
MappedBuffer RecordList::State::TakeBuffer(std::size_t prefault_bytes) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (MappedBuffer buffer = PopFreeBuffer()) return buffer;
  }
  MappedBuffer buffer;
  if (buffer.Allocate(chunk_records * length) && prefault_bytes != 0) buffer.Prefault(prefault_bytes);
  return buffer;
}

void RecordList::State::GiveBack(MappedBuffer buffer) {
  {
    std::lock_guard<std::mutex> lock(mutex);
    free_buffers.push_back(std::move(buffer));
  }
  changed.notify_all();
}

// Sorts a filled chunk into another buffer, with `index` as scratch
// (SortIndexBytes(chunk.count) bytes), and hands the filled one back for
// reuse, emptying `chunk`. Touches nothing but the pool, so the last chunk can
// be sorted while the worker still sorts its own. When no buffer can be had,
// the result has no memory and `chunk` is left as it was.
Chunk RecordList::State::SortChunk(Chunk& chunk, SortKey* index) {
  Chunk result{TakeBuffer(chunk.count * length), chunk.count};
  if (!result.memory) return Chunk{};
  SortRecords(chunk.memory.data(), chunk.count, length, index, result.memory.data());
  GiveBack(std::move(chunk.memory));
  chunk = Chunk{};
  return result;
}

// Keeps a sorted chunk; merges the kept chunks into a run file when they and
// the chunks still in flight would pass the budget.
void RecordList::State::KeepSorted(Chunk chunk) {
  sorted_bytes += chunk.count * length;
  sorted.push_back(std::move(chunk));
  if (sorted_bytes + reserve > budget) SpillSorted();
}

void RecordList::State::ProcessChunk(Chunk chunk) {
  if (status.load() != 0) return;
  if (!sort_keys && !sort_keys.Allocate(SortIndexBytes(chunk_records))) {
    Fail(kRunFileNotWritten);
    return;
  }
  Chunk result = SortChunk(chunk, reinterpret_cast<SortKey*>(sort_keys.data()));
  if (!result.memory) {
    Fail(kRunFileNotWritten);
    return;
  }
  KeepSorted(std::move(result));
}

int RecordList::State::CreateRunFile() {
  if (!looked_for_abandoned) {
    looked_for_abandoned = true;
    RemoveAbandonedTempFiles(options.spill_folder);
  }
  int fd = CreateAnonymousTempFile(options.spill_folder, options.spill_name);
  if (fd < 0) {
    // A target that is a device or a FIFO, or a file appended to in a folder
    // this user cannot write, still gets its records: spill where the system keeps temporaries.
    const char* tmpdir = std::getenv("TMPDIR");
    fd = CreateAnonymousTempFile(tmpdir != nullptr && *tmpdir != '\0' ? tmpdir : "/tmp",
                                 options.spill_name);
  }
  return fd;
}

void RecordList::State::SpillSorted() {
  const int fd = CreateRunFile();
  if (fd < 0) {
    Fail(kRunFileNotCreated);
    return;
  }
  std::vector<MemoryRecords> memory;
  memory.reserve(sorted.size());
  std::vector<SortedRecords*> sources;
  std::int64_t records = 0;
  for (const Chunk& chunk : sorted) {
    memory.emplace_back(chunk.memory.data(), static_cast<std::int64_t>(chunk.count));
    records += static_cast<std::int64_t>(chunk.count);
  }
  for (MemoryRecords& source : memory) sources.push_back(&source);
  BufferedWriter writer(fd, io_buffer_bytes, /*in_background=*/true);
  int result = MergeRecords(sources, length, writer, nullptr);
  result = writer.Finish(result);
  for (Chunk& chunk : sorted) GiveBack(std::move(chunk.memory));
  sorted.clear();
  sorted_bytes = 0;
  if (result != 0) {
    close(fd);
    Fail(kRunFileNotWritten);
    return;
  }
  run_files.push_back(RunFile{fd, records});
  spilled = true;
  if (run_files.size() >= kMaxRunFiles) CombineSmallestRuns();
}

// Keeps the number of open run files bounded: the smaller half of them are
// merged into one, so every record is rewritten only a few times.
void RecordList::State::CombineSmallestRuns() {
  std::sort(run_files.begin(), run_files.end(),
            [](const RunFile& a, const RunFile& b) { return a.count < b.count; });
  const std::size_t combined = run_files.size() / 2;
  const int fd = CreateRunFile();
  if (fd < 0) {
    Fail(kRunFileNotCreated);
    return;
  }
  const std::size_t read_buffer = std::max(length, io_buffer_bytes / combined);
  std::vector<std::unique_ptr<FileRecords>> files;
  std::vector<SortedRecords*> sources;
  std::int64_t records = 0;
  for (std::size_t i = 0; i < combined; ++i) {
    files.push_back(std::make_unique<FileRecords>(run_files[i].fd, run_files[i].count, length,
                                                  read_buffer));
    sources.push_back(files.back().get());
    records += run_files[i].count;
  }
  BufferedWriter writer(fd, io_buffer_bytes, /*in_background=*/true);
  int result = MergeRecords(sources, length, writer, nullptr);
  result = writer.Finish(result);
  if (result != 0) {
    close(fd);
    Fail(kRunFileNotWritten);
    return;
  }
  for (std::size_t i = 0; i < combined; ++i) close(run_files[i].fd);
  run_files.erase(run_files.begin(), run_files.begin() + static_cast<std::ptrdiff_t>(combined));
  run_files.push_back(RunFile{fd, records});
}

RecordList::RecordList(RecordListOptions options) : state_(new (std::nothrow) State) {
  if (!state_) return;
  State& s = *state_;
  s.options = std::move(options);
  s.budget = s.options.memory_budget != 0 ? s.options.memory_budget : MemoryBudgetBytes();
  s.chunk_bytes = s.options.chunk_bytes != 0
                      ? s.options.chunk_bytes
                      : std::clamp(s.budget / 16, kSmallestChunk, kLargestChunk);
  s.io_buffer_bytes = std::min(kLargestIoBuffer, s.chunk_bytes);
}

RecordList::~RecordList() {
  if (!state_) return;
  if (state_->worker_running) {
    {
      std::lock_guard<std::mutex> lock(state_->mutex);
      state_->stopping = true;
    }
    state_->changed.notify_all();
    pthread_join(state_->worker, nullptr);
  }
}

int RecordList::Add(std::string_view record) {
  if (!state_) return 0;
  State& s = *state_;
  if (s.status.load(std::memory_order_relaxed) != 0) return 0;
  if (!s.have_length) {
    s.have_length = true;
    s.length = record.size();
    if (s.length != 0) {
      // A chunk and its sorting index together take about chunk_bytes.
      s.chunk_records = std::clamp<std::size_t>(s.chunk_bytes / (s.length + SortIndexBytes(1)),
                                                1, kMaxChunkRecords);
      // In flight besides the kept chunks: the chunk being filled, one waiting,
      // one being sorted into another with its index, and the run file's two
      // write buffers.
      s.reserve = 4 * s.chunk_records * s.length + SortIndexBytes(s.chunk_records) +
                  2 * s.io_buffer_bytes;
    }
  } else if (record.size() != s.length) {
    return 0;
  }
  if (s.length == 0) {
    ++s.count;
    return 1;
  }
  if (!s.filling.memory) {
    s.filling.memory = s.TakeBuffer();
    if (!s.filling.memory) return 0;
  }
  std::memcpy(s.filling.memory.data() + s.filling.count * s.length, record.data(), s.length);
  ++s.count;
  ++s.filling.count;
  if (!s.worker_tried && s.filling.count > s.chunk_records / 2) {
    // An extract this large needs a second chunk: the worker starts and
    // prepares it while this one fills.
    s.worker_tried = true;
    s.worker_running = pthread_create(&s.worker, nullptr, RunWorker, &s) == 0;
    if (s.worker_running) {
      {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.prepare_ahead = true;
      }
      s.changed.notify_all();
    }
  }
  if (s.filling.count == s.chunk_records) {
    Chunk full = std::move(s.filling);
    s.filling = Chunk{};
    if (!s.worker_running) {  // no thread to be had: sort here
      s.ProcessChunk(std::move(full));
    } else {
      std::unique_lock<std::mutex> lock(s.mutex);
      s.changed.wait(lock, [&s] { return !s.has_pending; });
      s.pending = std::move(full);
      s.has_pending = true;
      // The next chunk to fill is taken now, before the worker can take the
      // same touched buffer as a sorting target: faults belong on its core.
      s.filling.memory = s.PopFreeBuffer();
      lock.unlock();
      s.changed.notify_all();
    }
  }
  return 1;
}

std::int64_t RecordList::count() const { return state_ ? state_->count : 0; }

std::size_t RecordList::record_length() const { return state_ ? state_->length : 0; }

bool RecordList::spilled() const { return state_ && state_->spilled; }

int RecordList::Finish() {
  if (!state_) return kRunFileNotWritten;
  State& s = *state_;
  Chunk last = std::move(s.filling);
  s.filling = Chunk{};
  if (last.count == 0) last = Chunk{};
  Chunk last_sorted;
  if (s.worker_running) {
    {
      std::lock_guard<std::mutex> lock(s.mutex);
      s.stopping = true;
    }
    s.changed.notify_all();
    // The last chunk is sorted here while the worker finishes the one before.
    MappedBuffer index;
    if (last.memory && s.status.load() == 0 && index.Allocate(SortIndexBytes(last.count))) {
      last_sorted = s.SortChunk(last, reinterpret_cast<SortKey*>(index.data()));
    }
    pthread_join(s.worker, nullptr);
    s.worker_running = false;
  }
  if (last_sorted.memory) {
    if (s.status.load() == 0) s.KeepSorted(std::move(last_sorted));
  } else if (last.memory) {
    s.ProcessChunk(std::move(last));  // no worker, or no memory to sort beside it
  }
  s.sort_keys.Release();
  s.free_buffers.clear();
  return s.status.load();
}

int RecordList::WriteSorted(BufferedWriter& out, const MergeProgress& progress) {
  if (!state_) return -1;
  State& s = *state_;
  if (s.length == 0) return out.ok() ? 0 : -1;
  std::vector<ConsumedChunkRecords> memory;
  memory.reserve(s.sorted.size());
  for (Chunk& chunk : s.sorted) memory.emplace_back(chunk.memory, chunk.count, s.length);
  // The read buffers of the run files share what one chunk would take.
  const std::size_t read_buffer =
      std::max(s.length, std::min(s.chunk_bytes / (s.run_files.size() + 1), kLargestIoBuffer));
  std::vector<std::unique_ptr<FileRecords>> files;
  for (const RunFile& run : s.run_files) {
    files.push_back(std::make_unique<FileRecords>(run.fd, run.count, s.length, read_buffer));
  }
  std::vector<SortedRecords*> sources;
  for (ConsumedChunkRecords& source : memory) sources.push_back(&source);
  for (auto& file : files) sources.push_back(file.get());
  return MergeRecords(sources, s.length, out, progress);
}

int AddRecord(RunState& run, std::string_view record) {
  if (!run.record_list) {
    RecordListOptions options;
    SplitTargetName(run.arguments.target_file_name, &options.spill_folder, &options.spill_name);
    run.record_list.reset(new (std::nothrow) RecordList(std::move(options)));
    if (!run.record_list) return 0;
  }
  return run.record_list->Add(record);
}

void FreeRecords(RunState& run) { run.record_list.reset(); }

}  // namespace kelvador
