#include "records/temp_files.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvador {
namespace {

constexpr std::string_view kMarker = ".kelvador-";
constexpr std::size_t kMaxBaseInName = 100;  // keeps the name under the 255-byte limit
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGXFSZ};

// The paths to remove when a signal ends the process. This is process-wide on
// purpose: a signal handler receives nothing but the signal number, so it can
// only reach what a global holds. Slots are fixed arrays guarded by atomics, so
// the handler needs neither locks nor allocation.
constexpr int kSlotCount = 16;
constexpr std::size_t kSlotPathSize = 4096;
enum SlotState : int { kFree = 0, kFilling = 1, kArmed = 2 };
struct PathSlot {
  std::atomic<int> state{kFree};
  char path[kSlotPathSize];
};
PathSlot g_slots[kSlotCount];
std::once_flag g_handlers_once;

extern "C" void RemoveTempFilesAndDie(int signal_number) {
  const int saved_errno = errno;
  for (PathSlot& slot : g_slots) {
    if (slot.state.load(std::memory_order_acquire) == kArmed) unlink(slot.path);
  }
  errno = saved_errno;
  // SA_RESETHAND restored the default action; raising again ends the process
  // as the signal would have without this handler.
  raise(signal_number);
}

void InstallHandlers() {
  for (int signal_number : kCleanupSignals) {
    struct sigaction current {};
    if (sigaction(signal_number, nullptr, &current) != 0) continue;
    // An ignored or otherwise handled signal keeps its disposition.
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction action {};
    action.sa_handler = RemoveTempFilesAndDie;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;
    sigaction(signal_number, &action, nullptr);
  }
}

std::string TempTemplate(const std::string& folder, std::string_view base,
                         std::string_view kind) {
  std::string name = folder;
  if (name.empty() || name.back() != '/') name += '/';
  name += '.';
  name += base.substr(0, kMaxBaseInName);
  name += kMarker;
  name += std::to_string(getpid());
  name += '-';
  name += kind;
  name += "XXXXXX";
  return name;
}

// The process id in a temporary file name of this program, or 0.
pid_t OwnerOf(std::string_view name) {
  if (name.empty() || name[0] != '.') return 0;
  const std::size_t marker = name.rfind(kMarker);
  if (marker == std::string_view::npos) return 0;
  std::size_t i = marker + kMarker.size();
  long pid = 0;
  const std::size_t digits_start = i;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9' && i - digits_start < 9) {
    pid = pid * 10 + (name[i] - '0');
    ++i;
  }
  if (i == digits_start || i >= name.size() || name[i] != '-') return 0;
  if (name.size() - i - 1 < 6) return 0;  // the six random characters
  return static_cast<pid_t>(pid);
}

}  // namespace

int CreateTempFile(const std::string& folder, std::string_view base, std::string_view kind,
                   std::string* path) {
  std::string name = TempTemplate(folder, base, kind);
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd >= 0) *path = std::move(name);
  return fd;
}

int CreateAnonymousTempFile(const std::string& folder, std::string_view base) {
  std::string path;
  const int fd = CreateTempFile(folder, base, "run-", &path);
  if (fd >= 0) unlink(path.c_str());
  return fd;
}

void RemoveAbandonedTempFiles(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const pid_t self = getpid();
  const uid_t user = geteuid();
  while (const dirent* entry = readdir(dir)) {
    const pid_t owner = OwnerOf(entry->d_name);
    if (owner <= 0 || owner == self) continue;
    if (kill(owner, 0) == 0 || errno != ESRCH) continue;  // the process still exists
    struct stat info {};
    if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_uid != user) continue;
    unlinkat(dirfd(dir), entry->d_name, 0);
  }
  closedir(dir);
}

int RememberTempFile(const std::string& path) {
  std::call_once(g_handlers_once, InstallHandlers);
  if (path.size() >= kSlotPathSize) return -1;
  for (int i = 0; i < kSlotCount; ++i) {
    int expected = kFree;
    if (!g_slots[i].state.compare_exchange_strong(expected, kFilling)) continue;
    std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
    g_slots[i].state.store(kArmed, std::memory_order_release);
    return i;
  }
  return -1;
}

void ForgetTempFile(int slot) {
  if (slot < 0 || slot >= kSlotCount) return;
  g_slots[slot].state.store(kFree, std::memory_order_release);
}

}  // namespace kelvador
