#include "records/download_writer.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <thread>

#include "records/record_list.h"
#include "records/test_folder.h"

namespace kelvador {
namespace {

using testing::ReadWhole;
using testing::TestFolder;
using testing::WriteWhole;

// A run whose fetch loop produced `records`, writing to `target`.
void PrepareRun(RunState& run, const std::string& target, int replace,
                const std::vector<std::string>& records, int debug = 0) {
  run.arguments.target_file_name = target;
  run.arguments.replace_flag = static_cast<std::int16_t>(replace);
  run.arguments.debug_flag = debug;
  for (const std::string& record : records) {
    AddRecord(run, record);
    ++run.record_count;
  }
}

struct Outcome {
  int result;
  std::string printed;
};

Outcome Write(RunState& run) {
  ::testing::internal::CaptureStdout();
  const int result = WriteFile(run);
  std::fflush(stdout);
  return Outcome{result, ::testing::internal::GetCapturedStdout()};
}

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

TEST(WriteFile, ReplaceWritesTheRecordsInByteOrderWithoutSeparators) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  RunState run;
  PrepareRun(run, target, 1, {"B1", "A2", "C3", "A2"});
  const Outcome outcome = Write(run);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.printed, "");
  EXPECT_EQ(ReadWhole(target), "A2A2B1C3");
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(ModeOf(target), 0666 & ~mask);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.txt"});
}

TEST(WriteFile, ReplaceKeepsThePermissionBitsOfTheOldFile) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "old content that is longer");
  chmod(target.c_str(), 0640);
  RunState run;
  PrepareRun(run, target, 1, {"new"});
  EXPECT_EQ(Write(run).result, 0);
  EXPECT_EQ(ReadWhole(target), "new");
  EXPECT_EQ(ModeOf(target), 0640u);
}

TEST(WriteFile, ReplaceThroughASymbolicLinkReplacesTheFileItNames) {
  TestFolder folder;
  WriteWhole(folder.File("real.txt"), "old");
  ASSERT_EQ(symlink("real.txt", folder.File("link.txt").c_str()), 0);
  RunState run;
  PrepareRun(run, folder.File("link.txt"), 1, {"new"});
  EXPECT_EQ(Write(run).result, 0);
  EXPECT_EQ(ReadWhole(folder.File("real.txt")), "new");
  struct stat info {};
  ASSERT_EQ(lstat(folder.File("link.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(WriteFile, AppendFollowsTheOldContentDirectly) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "old\n");
  RunState run;
  PrepareRun(run, target, 0, {"y", "x"});
  EXPECT_EQ(Write(run).result, 0);
  EXPECT_EQ(ReadWhole(target), "old\nxy");
}

TEST(WriteFile, WithoutRecordsNothingIsOpened) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "keep");
  RunState run;
  PrepareRun(run, target, 1, {}, 1);
  const Outcome outcome = Write(run);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.printed, "Str WriteFile\nEnd WriteFile\n");
  EXPECT_EQ(ReadWhole(target), "keep");
}

TEST(WriteFile, DebugTraceSurroundsTheWrite) {
  TestFolder folder;
  RunState run;
  PrepareRun(run, folder.File("out.txt"), 1, {"r"}, 1);
  const Outcome outcome = Write(run);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.printed, "Str WriteFile\nEnd WriteFile\n");
}

TEST(WriteFile, AMissingFolderCannotBeOpened) {
  TestFolder folder;
  for (int replace : {0, 1}) {
    RunState run;
    PrepareRun(run, folder.File("missing/out.txt"), replace, {"r"}, 1);
    const Outcome outcome = Write(run);
    EXPECT_EQ(outcome.result, -1) << "replace " << replace;
    EXPECT_EQ(outcome.printed, "Str WriteFile\nAusgabedatei konnte nicht geoeffnet \n")
        << "replace " << replace;
  }
  EXPECT_TRUE(folder.Names().empty());
}

TEST(WriteFile, AFifoIsWrittenDirectly) {
  TestFolder folder;
  const std::string fifo = folder.File("pipe");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadWhole(fifo); });
  RunState run;
  PrepareRun(run, fifo, 1, {"b", "a"});
  EXPECT_EQ(Write(run).result, 0);
  reader.join();
  EXPECT_EQ(received, "ab");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"pipe"});
}

TEST(WriteFile, AFullDeviceIsReportedAsAWriteFailure) {
  RunState run;
  PrepareRun(run, "/dev/full", 0, {std::string(3 << 20, 'x')});
  const Outcome outcome = Write(run);
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.printed, "Ausgabedatei konnte nicht geschrieben werden \n");
}

// Adds `records` and runs WriteFile in a child process whose files may not
// grow past `size_limit` bytes (as on a full disk) and returns its result and
// printout. The records are added in the child: threads do not cross a fork.
Outcome WriteWithFileSizeLimit(const std::string& target, int replace,
                               const std::vector<std::string>& records, rlim_t size_limit,
                               const std::string& printout) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{size_limit, size_limit};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::freopen(printout.c_str(), "w", stdout);
    RunState run;
    PrepareRun(run, target, replace, records);
    const int result = WriteFile(run);
    std::fflush(stdout);
    _exit(result == 0 ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  return Outcome{WEXITSTATUS(status) == 0 ? 0 : -1, ReadWhole(printout)};
}

TEST(WriteFile, AFailedAppendCutsTheFileBackToItsOldLength) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "old content");
  const Outcome outcome =
      WriteWithFileSizeLimit(target, 0, {std::string(5 << 20, 'a'), std::string(5 << 20, 'b')},
                             1 << 20, folder.File("printed"));
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.printed, "Ausgabedatei konnte nicht geschrieben werden \n");
  EXPECT_EQ(ReadWhole(target), "old content");
}

TEST(WriteFile, AFailedReplaceKeepsTheOldContentAndLeavesNoTemporaryFile) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "old content");
  const Outcome outcome =
      WriteWithFileSizeLimit(target, 1, {std::string(5 << 20, 'a'), std::string(5 << 20, 'b')},
                             1 << 20, folder.File("printed"));
  EXPECT_EQ(outcome.result, -1);
  EXPECT_EQ(outcome.printed, "Ausgabedatei konnte nicht geschrieben werden \n");
  EXPECT_EQ(ReadWhole(target), "old content");
  std::vector<std::string> names = folder.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"out.txt", "printed"}));
}

TEST(WriteFile, SpilledRecordsGiveTheSameBytesAndLeaveNoFiles) {
  TestFolder folder;
  std::vector<std::string> records;
  for (int i = 0; i < 120000; ++i) {
    char text[48];
    std::snprintf(text, sizeof text, "%08d%08d\xe4%023d", (i * 7919) % 100003, i % 17, i);
    records.push_back(text);
  }
  std::string expected;
  {
    std::vector<std::string> sorted = records;
    std::sort(sorted.begin(), sorted.end());
    for (const std::string& r : sorted) expected += r;
  }
  setenv("KELVADOR_MEMORY_BUDGET_MB", "1", 1);
  RunState run;
  PrepareRun(run, folder.File("out.txt"), 1, records);
  unsetenv("KELVADOR_MEMORY_BUDGET_MB");
  EXPECT_EQ(Write(run).result, 0);
  EXPECT_TRUE(run.record_list->spilled());
  FreeRecords(run);
  EXPECT_TRUE(ReadWhole(folder.File("out.txt")) == expected);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.txt"});
}

TEST(WriteFile, RemovesTemporaryFilesAbandonedByDeadRuns) {
  TestFolder folder;
  const pid_t dead = fork();
  if (dead == 0) _exit(0);
  waitpid(dead, nullptr, 0);
  const std::string abandoned = ".out.txt.kelvador-" + std::to_string(dead) + "-Ab12Cd";
  const std::string live = ".out.txt.kelvador-" + std::to_string(getppid()) + "-Ef34Gh";
  const std::string unrelated = ".out.txt.kelvador-notes";
  for (const std::string& name : {abandoned, live, unrelated}) WriteWhole(folder.File(name), "x");
  RunState run;
  PrepareRun(run, folder.File("out.txt"), 1, {"r"});
  EXPECT_EQ(Write(run).result, 0);
  std::vector<std::string> names = folder.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{live, unrelated, "out.txt"}));
}

}  // namespace
}  // namespace kelvador
