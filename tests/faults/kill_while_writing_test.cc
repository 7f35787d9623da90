// A run killed with SIGKILL while it writes a large download file in replace
// mode: the old file must stay intact byte for byte, and the next run must not
// trip over the temporary file the killed run left behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "faults/fault_support.h"
#include "support/installation.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

// BIG makes records of 4010 characters from a counter (about 4 KB per row);
// SMALL makes three short ones.
std::string Definition(int big_rows) {
  std::string text = "[BIG]\n";
  text += "SQL001=WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < " +
          std::to_string(big_rows) + ")\n";
  text += "SQL002=SELECT I FROM N\n";
  text += "FELD01=I\nFTYP01=DEC\nFLEN01=10\n";
  for (int column = 2; column <= 5; ++column) {
    const std::string n = "0" + std::to_string(column);
    text += "FELD" + n + "=PAD\nFTYP" + n + "=CHAR\nFLEN" + n + "=999\n";
  }
  text += "[SMALL]\nSQL001=SELECT X FROM T ORDER BY X\nFELD01=X\nFTYP01=CHAR\nFLEN01=3\n";
  return text;
}

const char kScript[] = "CREATE TABLE T (X TEXT); INSERT INTO T VALUES ('b'), ('a'), ('c');";
const char kOldContent[] = "old download file\r\nwith two lines, kept byte for byte\n";

TEST(KillWhileWriting, TheOldTargetSurvivesAndTheNextRunIsNotDisturbed) {
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  const std::string target = installation.InWork("out.txt");
  const std::string prefix = TempFilePrefix("out.txt");

  // The write must still be going on when the test looks; a machine fast
  // enough to finish first gets a larger file on the next attempt.
  bool killed = false;
  std::string abandoned;
  for (int rows = 50000; rows <= 400000 && !killed; rows *= 2) {
    WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), Definition(rows));
    WriteWholeFile(target, kOldContent);
    const pid_t pid = StartKelvador(installation, {"BIG", "T1", "out.txt", "1"},
                                    installation.root() + "/big.log");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      if (::waitpid(pid, &status, WNOHANG) == pid) break;  // finished before the kill
      const std::vector<std::string> temps = EntriesStartingWith(installation.work(), prefix);
      if (!temps.empty() && FileSize(installation.InWork(temps[0])) > (1 << 20)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        abandoned = temps[0];
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    if (!killed && ::waitpid(pid, &status, WNOHANG) == 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      FAIL() << "no temporary file appeared within five minutes:\n"
             << ReadWholeFile(installation.root() + "/big.log");
    }
  }
  ASSERT_TRUE(killed) << "every run finished before it could be killed";

  EXPECT_EQ(ReadWholeFile(target), kOldContent);
  EXPECT_TRUE(FileExists(installation.InWork(abandoned)))
      << "expected the killed run's " << abandoned;

  const ProcessResult next = installation.RunKelvador({"SMALL", "T1", "out.txt", "1"});
  EXPECT_EQ(next.exit_status, 0) << next.err;
  EXPECT_EQ(next.out, "3 Saetze kopiert in Datei out.txt \n");
  EXPECT_EQ(ReadWholeFile(target), "a  b  c  ");
  EXPECT_EQ(EntriesStartingWith(installation.work(), prefix), std::vector<std::string>{})
      << "the abandoned temporary file should have been removed";
}

}  // namespace
}  // namespace kelvador::testing
