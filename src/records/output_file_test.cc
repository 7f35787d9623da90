#include "records/output_file.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <csignal>

#include "records/test_folder.h"

namespace kelvador {
namespace {

using testing::ReadWhole;
using testing::TestFolder;
using testing::WriteWhole;

// Starts a replace of `target` in a child process, writes part of the new
// content and ends the child with `signal_number` before the commit.
int KillDuringReplace(const std::string& target, int signal_number) {
  const pid_t child = fork();
  if (child == 0) {
    OutputFile file;
    if (file.Open(target, true) != 0) _exit(2);
    const std::string part(1 << 16, 'n');
    if (write(file.fd(), part.data(), part.size()) != static_cast<ssize_t>(part.size())) _exit(3);
    raise(signal_number);
    _exit(4);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : -1;
}

TEST(OutputFile, ATerminatedReplaceKeepsTheOldTargetAndRemovesItsTemporaryFile) {
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    TestFolder folder;
    const std::string target = folder.File("out.txt");
    WriteWhole(target, "old");
    EXPECT_EQ(KillDuringReplace(target, signal_number), signal_number);
    EXPECT_EQ(ReadWhole(target), "old") << strsignal(signal_number);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.txt"}) << strsignal(signal_number);
  }
}

TEST(OutputFile, AKilledReplaceKeepsTheOldTargetAndTheNextReplaceRemovesTheLeftover) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "old");
  EXPECT_EQ(KillDuringReplace(target, SIGKILL), SIGKILL);
  EXPECT_EQ(ReadWhole(target), "old");
  std::vector<std::string> names = folder.Names();
  ASSERT_EQ(names.size(), 2u);
  const std::string leftover = names[0] == "out.txt" ? names[1] : names[0];
  EXPECT_EQ(leftover.rfind(".out.txt.kelvador-", 0), 0u) << leftover;

  OutputFile file;
  ASSERT_EQ(file.Open(target, true), 0);
  ASSERT_EQ(write(file.fd(), "new", 3), 3);
  ASSERT_EQ(file.Commit(), 0);
  EXPECT_EQ(ReadWhole(target), "new");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.txt"});
}

TEST(OutputFile, AbandoningLeavesTheTargetAsItWas) {
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "old");
  {
    OutputFile file;
    ASSERT_EQ(file.Open(target, true), 0);
    ASSERT_EQ(write(file.fd(), "new", 3), 3);
  }  // destroyed without Commit
  {
    OutputFile file;
    ASSERT_EQ(file.Open(target, false), 0);
    ASSERT_EQ(write(file.fd(), "more", 4), 4);
    file.Abandon();
  }
  EXPECT_EQ(ReadWhole(target), "old");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.txt"});
}

TEST(OutputFile, ALongTargetNameStillGetsATemporaryFile) {
  TestFolder folder;
  const std::string target = folder.File(std::string(250, 'L'));
  OutputFile file;
  ASSERT_EQ(file.Open(target, true), 0);
  ASSERT_EQ(write(file.fd(), "x", 1), 1);
  ASSERT_EQ(file.Commit(), 0);
  EXPECT_EQ(ReadWhole(target), "x");
}

TEST(OutputFile, AReadOnlyTargetCannotBeReplaced) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  TestFolder folder;
  const std::string target = folder.File("out.txt");
  WriteWhole(target, "old");
  chmod(target.c_str(), 0444);
  OutputFile file;
  EXPECT_EQ(file.Open(target, true), -1);
  EXPECT_EQ(ReadWhole(target), "old");
}

}  // namespace
}  // namespace kelvador
