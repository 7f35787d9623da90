#include <fcntl.h>
// Figures of the record production: the per-row cost of RecordShape::Build and
// AddRecord as the fetch loop pays it, and the sort and merge throughput of the
// record list in memory and with run files. Prints figures; checks nothing.

#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "records/buffered_writer.h"
#include "records/record_builder.h"
#include "records/record_list.h"

namespace kelvador {
namespace {

// About 120-byte records from six mixed columns, like a nightly extract.
ColumnLayout BenchLayout() {
  ColumnLayout layout;
  layout[0] = ColumnSpec{"KEY", "DEC", 10};
  layout[1] = ColumnSpec{"NAME", "CHAR", 40};
  layout[2] = ColumnSpec{"AMOUNT", "DEC", 14};
  layout[3] = ColumnSpec{"DAY", "CHAR", 10};
  layout[4] = ColumnSpec{"NOTE", "TXT", 38};
  layout[5] = ColumnSpec{"CODE", "CHAR", 8};
  return layout;
}

std::vector<RowSlots> BenchRows(std::size_t count) {
  std::mt19937 random(42);
  std::vector<RowSlots> rows(count);
  for (std::size_t i = 0; i < count; ++i) {
    char text[64];
    auto set = [&](int slot, int length) { rows[i].Set(slot, text, static_cast<std::size_t>(length)); };
    set(0, std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(random() % 10000000)));
    set(1, std::snprintf(text, sizeof text, "Name \xc3\xa4 %u", static_cast<unsigned>(random())));
    set(2, std::snprintf(text, sizeof text, "%d.%02d", static_cast<int>(random() % 200000) - 100000,
                         static_cast<int>(random() % 100)));
    set(3, std::snprintf(text, sizeof text, "2024-%02u-%02u", static_cast<unsigned>(random() % 12 + 1),
                         static_cast<unsigned>(random() % 28 + 1)));
    if (random() % 4 != 0) set(4, std::snprintf(text, sizeof text, "note %u  ", static_cast<unsigned>(random())));
    set(5, std::snprintf(text, sizeof text, "  C%u", static_cast<unsigned>(random() % 1000)));
  }
  return rows;
}

const std::vector<RowSlots>& Rows() {
  static const std::vector<RowSlots> rows = BenchRows(256);
  return rows;
}

std::string BenchFolder() {
  const char* tmp = getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/bench-records-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) return "/tmp";
  return folder;
}

void BM_BuildRecord(benchmark::State& state) {
  const ColumnLayout layout = BenchLayout();
  const std::vector<RowSlots>& rows = Rows();
  const RecordShape shape(layout);
  std::string record(shape.length(), ' ');
  std::size_t i = 0;
  for (auto _ : state) {
    shape.Build(rows[i++ & (rows.size() - 1)], record.data());
    benchmark::DoNotOptimize(record.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildRecord);

// Building and adding a record per row, the background sorting included (Finish).
void BM_BuildAndAdd(benchmark::State& state) {
  const ColumnLayout layout = BenchLayout();
  const std::vector<RowSlots>& rows = Rows();
  const std::size_t count = static_cast<std::size_t>(state.range(0));
  const RecordShape shape(layout);
  std::string record(shape.length(), ' ');
  for (auto _ : state) {
    RecordList list(RecordListOptions{std::size_t{1} << 30, 0, "/tmp", "bench"});
    for (std::size_t i = 0; i < count; ++i) {
      shape.Build(rows[i & (rows.size() - 1)], record.data());
      list.Add(record);
    }
    list.Finish();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
}
BENCHMARK(BM_BuildAndAdd)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

// Adding, sorting and merging into a file, within a budget (MiB, 0: in memory).
void BM_SortAndMerge(benchmark::State& state) {
  const ColumnLayout layout = BenchLayout();
  const std::vector<RowSlots>& rows = Rows();
  const std::size_t count = static_cast<std::size_t>(state.range(0));
  const std::size_t budget = static_cast<std::size_t>(state.range(1)) << 20;
  std::vector<std::string> records;
  std::string record;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    BuildRecord(layout, rows[i], &record);
    // Vary the key so the records are not 65536 repeated ones.
    records.push_back(record);
  }
  const std::string folder = BenchFolder();
  const std::string path = folder + "/out";
  for (auto _ : state) {
    RecordList list(RecordListOptions{budget == 0 ? std::size_t{1} << 32 : budget, 0, folder, "out"});
    for (std::size_t i = 0; i < count; ++i) {
      std::string& r = records[i & (records.size() - 1)];
      std::snprintf(r.data() + 40, 12, "%011u", static_cast<unsigned>(i % 100000000000u));
      list.Add(r);
    }
    list.Finish();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    BufferedWriter writer(fd, 1 << 20);
    list.WriteSorted(writer, nullptr);
    writer.Flush();
    close(fd);
    state.counters["spilled"] = list.spilled();
  }
  unlink(path.c_str());
  rmdir(folder.c_str());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(count));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(count * record.size()));
}
BENCHMARK(BM_SortAndMerge)
    ->Args({1 << 20, 0})
    ->Args({1 << 22, 0})
    ->Args({1 << 22, 64})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace
}  // namespace kelvador

BENCHMARK_MAIN();
