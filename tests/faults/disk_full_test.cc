// The disk fills up while the download file is written. The failure must be
// reported, the summary must count 0 records, a replaced file must keep its
// old content and an appended one must be cut back to its old length. The full
// disk is a 1 MB tmpfs where the test may mount one; elsewhere a file size
// limit (with SIGXFSZ ignored, so writes fail with EFBIG) stands in for it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "faults/fault_support.h"
#include "support/installation.h"
#include "support/routes.h"

namespace kelvador::testing {
namespace {

const char kScript[] = "CREATE TABLE T (X TEXT); INSERT INTO T VALUES ('b');";
// About 8 MB of records: 2000 rows of 4000 characters.
const char kDefinition[] =
    "[BIG]\n"
    "SQL001=WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 2000)\n"
    "SQL002=SELECT I FROM N\n"
    "FELD01=I\nFTYP01=DEC\nFLEN01=4\n"
    "FELD02=P\nFTYP02=CHAR\nFLEN02=999\nFELD03=P\nFTYP03=CHAR\nFLEN03=999\n"
    "FELD04=P\nFTYP04=CHAR\nFLEN04=999\nFELD05=P\nFTYP05=CHAR\nFLEN05=999\n";
const char kWriteFailed[] = "Ausgabedatei konnte nicht geschrieben werden \n";
const std::string kOldContent(200 * 1024, 'o');  // leaves about 800 KB free on the tmpfs

// A folder on a 1 MB tmpfs, unmounted again when the object goes.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& folder) : folder_(folder) {
    std::filesystem::create_directories(folder_);
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=1m,mode=0755") == 0) {
      mounted_ = true;
    } else {
      reason_ = std::strerror(errno);
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string reason_;
};

struct Outcome {
  ProcessResult result;
  std::string content;  // of the target afterwards
  std::vector<std::string> temps;
};

// Runs BIG into a target that already holds kOldContent on a disk too small
// for the new records, in replace (1) or append (0) mode.
Outcome RunIntoFullDisk(const std::string& flag) {
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), kDefinition);
  const std::string folder = installation.root() + "/small";
  SmallDisk disk(folder);
  Outcome outcome;
  const std::string relative = "../../small/out.txt";
  if (disk.mounted()) {
    WriteWholeFile(folder + "/out.txt", kOldContent);
    outcome.result = installation.RunKelvador({"BIG", "T1", relative, flag});
  } else {
    // No tmpfs: every file of the run may grow to 1 MB only.
    WriteWholeFile(folder + "/out.txt", kOldContent);
    ::signal(SIGXFSZ, SIG_IGN);  // inherited through exec: a write fails instead
    outcome.result =
        RunProgram("/usr/bin/prlimit",
                   {"--fsize=1048576", "--", BuiltProgram("kelvador"), "BIG", "T1", relative, flag},
                   installation.work());
    ::signal(SIGXFSZ, SIG_DFL);
  }
  outcome.content = ReadWholeFile(folder + "/out.txt");
  outcome.temps = EntriesStartingWith(folder, TempFilePrefix("out.txt"));
  return outcome;
}

TEST(DiskFull, ReplacingKeepsTheOldFile) {
  const Outcome outcome = RunIntoFullDisk("1");
  EXPECT_EQ(outcome.result.exit_status, 0) << outcome.result.err;
  EXPECT_EQ(outcome.result.out,
            std::string(kWriteFailed) + "0 Saetze kopiert in Datei ../../small/out.txt \n");
  EXPECT_EQ(outcome.result.err, "");
  EXPECT_TRUE(outcome.content == kOldContent) << "size now " << outcome.content.size();
  EXPECT_EQ(outcome.temps, std::vector<std::string>{});
}

TEST(DiskFull, AppendingCutsTheFileBackToItsOldLength) {
  const Outcome outcome = RunIntoFullDisk("0");
  EXPECT_EQ(outcome.result.exit_status, 0) << outcome.result.err;
  EXPECT_EQ(outcome.result.out,
            std::string(kWriteFailed) + "0 Saetze kopiert in Datei ../../small/out.txt \n");
  EXPECT_EQ(outcome.result.err, "");
  EXPECT_TRUE(outcome.content == kOldContent) << "size now " << outcome.content.size();
}

// /dev/full takes no byte; appending to it is a write failure on a file that
// is no regular file, so nothing can be cut back.
TEST(DiskFull, AppendingToDevFullReportsTheFailure) {
  Installation installation;
  MakeRoute("sqlite")->Prepare(installation, kScript);
  WriteWholeFile(installation.InWork("KELVADOR.TEST.INI"), kDefinition);
  const ProcessResult result = installation.RunKelvador({"BIG", "T1", "/dev/full", "0"});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out, std::string(kWriteFailed) + "0 Saetze kopiert in Datei /dev/full \n");
  EXPECT_EQ(result.err, "");
}

}  // namespace
}  // namespace kelvador::testing
