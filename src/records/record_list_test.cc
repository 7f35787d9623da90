#include "records/record_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "records/record_sort.h"
#include "records/test_folder.h"

namespace kelvador {
namespace {

using testing::OpenDescriptorCount;
using testing::TestFolder;

// All records of `list` as written, joined.
std::string Written(RecordList& list, const std::string& folder) {
  const std::string path = folder + "/written";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  EXPECT_GE(fd, 0);
  BufferedWriter writer(fd, 4096);
  EXPECT_EQ(list.WriteSorted(writer, nullptr), 0);
  EXPECT_EQ(writer.Flush(), 0);
  close(fd);
  std::string bytes = testing::ReadWhole(path);
  unlink(path.c_str());
  return bytes;
}

// The records sorted by unsigned bytes, joined: what the file must hold.
std::string Expected(std::vector<std::string> records) {
  std::sort(records.begin(), records.end(), [](const std::string& a, const std::string& b) {
    return std::memcmp(a.data(), b.data(), a.size()) < 0;
  });
  std::string joined;
  for (const std::string& r : records) joined += r;
  return joined;
}

// Deterministic records of `length` bytes over the whole byte range, with
// long common starts and many duplicates so that every tie path is used.
std::vector<std::string> MakeRecords(std::size_t count, std::size_t length, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> records;
  for (std::size_t i = 0; i < count; ++i) {
    std::string record(length, ' ');
    const std::size_t common = random() % (length + 1);
    for (std::size_t k = common; k < length; ++k) {
      record[k] = static_cast<char>(random() % 4 == 0 ? 0x80 + random() % 128 : 'A' + random() % 3);
    }
    records.push_back(record);
  }
  return records;
}

TEST(RecordList, OrdersByUnsignedBytesAndKeepsDuplicates) {
  TestFolder folder;
  RecordList list(RecordListOptions{64 << 20, 0, folder.path(), "t"});
  for (const char* record : {"B", "A", "\xe4", "C", "A", "\x7f", "\x80"}) {
    EXPECT_EQ(list.Add(record), 1) << record;
  }
  EXPECT_EQ(list.count(), 7);
  ASSERT_EQ(list.Finish(), 0);
  EXPECT_FALSE(list.spilled());
  EXPECT_EQ(Written(list, folder.path()), "AABC\x7f\x80\xe4");
}

TEST(RecordList, RefusesARecordOfAnotherLength) {
  RecordList list(RecordListOptions{64 << 20, 0, ".", "t"});
  EXPECT_EQ(list.Add("abc"), 1);
  EXPECT_EQ(list.Add("ab"), 0);
  EXPECT_EQ(list.Add("abcd"), 0);
  EXPECT_EQ(list.count(), 1);
}

TEST(RecordList, EmptyRecordsAreCountedAndWriteNothing) {
  TestFolder folder;
  RecordList list(RecordListOptions{64 << 20, 0, folder.path(), "t"});
  EXPECT_EQ(list.Add(""), 1);
  EXPECT_EQ(list.Add(""), 1);
  EXPECT_EQ(list.count(), 2);
  ASSERT_EQ(list.Finish(), 0);
  EXPECT_EQ(Written(list, folder.path()), "");
}

struct SizeCase {
  std::size_t count;
  std::size_t length;
  std::size_t chunk_bytes;
  std::size_t budget;
  bool spills;
};

// Whatever the chunk size and budget, the bytes are those of one plain sort,
// and no run file is left in the folder or open afterwards.
TEST(RecordList, ChunksAndRunFilesGiveTheBytesOfOnePlainSort) {
  const SizeCase cases[] = {
      {1, 7, 0, 64 << 20, false},
      {5000, 7, 0, 64 << 20, false},
      {5000, 3, 64, 1 << 20, false},        // many small chunks in memory
      // Chunks written in several blocks, whose pages are freed as they go
      // and do not end on a page boundary.
      {400000, 13, 8 << 20, 256 << 20, false},
      {5000, 13, 13 * 16, 4096, true},      // a run file for nearly every chunk
      {20000, 24, 24 * 100, 8000, true},  // more run files than stay open: combined
      {3000, 1, 10, 200, true},
      {2000, 40, 4000, 20000, true},
  };
  for (const SizeCase& c : cases) {
    TestFolder folder;
    const int descriptors = OpenDescriptorCount();
    const std::vector<std::string> records = MakeRecords(c.count, c.length, c.count + c.length);
    std::string written;
    {
      RecordList list(RecordListOptions{c.budget, c.chunk_bytes, folder.path(), "target.txt"});
      for (const std::string& record : records) ASSERT_EQ(list.Add(record), 1);
      ASSERT_EQ(list.Finish(), 0);
      EXPECT_EQ(list.spilled(), c.spills) << c.count << " x " << c.length;
      written = Written(list, folder.path());
      EXPECT_TRUE(folder.Names().empty()) << "run files have no names";
    }
    EXPECT_EQ(written, Expected(records)) << c.count << " x " << c.length << " chunk "
                                          << c.chunk_bytes << " budget " << c.budget;
    EXPECT_EQ(OpenDescriptorCount(), descriptors) << c.count << " x " << c.length;
  }
}

TEST(RecordList, AFolderWithoutRoomForRunFilesSpillsToTheSystemTemporaryFolder) {
  RecordList list(RecordListOptions{4096, 64, "/nonexistent-folder", "t"});
  const std::vector<std::string> records = MakeRecords(2000, 8, 5);
  for (const std::string& record : records) ASSERT_EQ(list.Add(record), 1);
  ASSERT_EQ(list.Finish(), 0);
  EXPECT_TRUE(list.spilled());
  TestFolder folder;
  EXPECT_EQ(Written(list, folder.path()), Expected(records));
}

TEST(RecordList, RunFilesThatCannotBeCreatedAnywhereFailTheList) {
  const char* old_tmpdir = getenv("TMPDIR");
  const std::string saved = old_tmpdir ? old_tmpdir : "";
  setenv("TMPDIR", "/nonexistent-folder/too", 1);
  {
    RecordList list(RecordListOptions{4096, 64, "/nonexistent-folder", "t"});
    int stored = 0;
    for (const std::string& record : MakeRecords(2000, 8, 5)) stored += list.Add(record);
    EXPECT_LT(stored, 2000);
    EXPECT_EQ(list.Finish(), RecordList::kRunFileNotCreated);
  }
  if (old_tmpdir) setenv("TMPDIR", saved.c_str(), 1); else unsetenv("TMPDIR");
}

TEST(SortRecords, MatchesAPlainSortForLongCommonStarts) {
  for (std::size_t length : {1u, 7u, 8u, 9u, 16u, 17u, 64u}) {
    std::vector<std::string> records = MakeRecords(3000, length, static_cast<unsigned>(length));
    std::string data;
    for (const std::string& r : records) data += r;
    std::vector<SortKey> index(SortIndexBytes(records.size()) / sizeof(SortKey));
    std::string sorted(data.size(), '\0');
    SortRecords(reinterpret_cast<const std::uint8_t*>(data.data()), records.size(), length,
                index.data(), reinterpret_cast<std::uint8_t*>(sorted.data()));
    EXPECT_EQ(sorted, Expected(records)) << "length " << length;
  }
}

}  // namespace
}  // namespace kelvador
