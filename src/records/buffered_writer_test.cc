#include "records/buffered_writer.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "records/test_folder.h"

namespace kelvador {
namespace {

using testing::ReadWhole;
using testing::TestFolder;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + (i * 7 + i / 4096) % 26);
  return bytes;
}

struct WriteCase {
  const char* name;
  std::size_t capacity;
  std::vector<std::size_t> pieces;  // appended one after another
};

// Every way through the writer must leave exactly the appended bytes: whole
// blocks past the file cache, a partial last block, a piece larger than the
// buffer (appended from the caller's memory, off a block boundary), and files
// on a file system that may refuse writing past its cache.
TEST(BufferedWriter, WritesExactlyTheAppendedBytesWithAndWithoutTheFileCache) {
  const std::vector<WriteCase> cases = {
      {"nothing", 1 << 16, {}},
      {"less than a block", 1 << 16, {1, 119}},
      {"exactly one buffer", 1 << 16, {1 << 16}},
      {"records with a partial last block", 1 << 16, std::vector<std::size_t>(2000, 120)},
      {"a piece larger than the buffer", 1 << 16, {120, 3 * (1 << 16) + 17, 120, 4096}},
      {"a buffer of no whole block", 1000, std::vector<std::size_t>(50, 120)},
  };
  TestFolder disk;
  std::vector<std::string> folders = {disk.path()};
  if (access("/dev/shm", W_OK) == 0) folders.push_back("/dev/shm");
  for (const std::string& folder : folders) {
    for (const WriteCase& c : cases) {
      for (bool bypass : {false, true}) {
        for (bool in_background : {false, true}) {
          SCOPED_TRACE(folder + ": " + c.name + (bypass ? ", past the cache" : "") +
                       (in_background ? ", in the background" : ""));
          std::string path = folder + "/writer-XXXXXX";
          const int fd = mkstemp(path.data());
          ASSERT_GE(fd, 0);
          std::size_t total = 0;
          for (std::size_t piece : c.pieces) total += piece;
          const std::string expected = Pattern(total);
          {
            BufferedWriter writer(fd, c.capacity, in_background);
            if (bypass) writer.BypassFileCache();
            std::size_t at = 0;
            for (std::size_t piece : c.pieces) {
              writer.Append(expected.data() + at, piece);
              at += piece;
            }
            EXPECT_EQ(writer.Flush(), 0);
          }
          close(fd);
          EXPECT_TRUE(ReadWhole(path) == expected);
          unlink(path.c_str());
        }
      }
    }
  }
}

}  // namespace
}  // namespace kelvador
