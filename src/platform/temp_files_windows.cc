// Temporary files on Windows, named as on Linux (".<name>.kelvador-<pid>-<kind>
// <6 random characters>") beside the file they serve.
//
// Differences: a run file is opened with _O_TEMPORARY, so the system deletes it
// when it is closed or the process ends (an open file cannot lose its name on
// Windows). There are no signals to catch: RememberTempFile keeps nothing, and
// a download file's temporary left by a killed run is removed by the next run
// writing into that folder (RemoveAbandonedTempFiles).
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <random>

#include "records/temp_files.h"

namespace kelvador {
namespace {

constexpr std::string_view kMarker = ".kelvador-";
constexpr std::size_t kMaxBaseInName = 100;
constexpr int kAttempts = 100;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string RandomSuffix() {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device device;
  std::string suffix;
  for (int i = 0; i < 6; ++i) suffix += kLetters[device() % (sizeof kLetters - 1)];
  return suffix;
}

std::string TempName(const std::string& folder, std::string_view base, std::string_view kind) {
  std::string name = folder;
  if (!name.empty() && !IsSeparator(name.back()) && name.back() != ':') name += '\\';
  name += '.';
  name += base.substr(0, kMaxBaseInName);
  name += kMarker;
  name += std::to_string(GetCurrentProcessId());
  name += '-';
  name += kind;
  name += RandomSuffix();
  return name;
}

int CreateWithFlags(const std::string& folder, std::string_view base, std::string_view kind,
                    int extra_flags, std::string* path) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string name = TempName(folder, base, kind);
    const int fd = _open(name.c_str(),
                         _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT | extra_flags,
                         _S_IREAD | _S_IWRITE);
    if (fd >= 0) {
      *path = std::move(name);
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  return -1;
}

// The process id in a temporary file name of this program, or 0.
DWORD OwnerOf(std::string_view name) {
  if (name.empty() || name[0] != '.') return 0;
  const std::size_t marker = name.rfind(kMarker);
  if (marker == std::string_view::npos) return 0;
  std::size_t i = marker + kMarker.size();
  const std::size_t digits_start = i;
  DWORD pid = 0;
  while (i < name.size() && name[i] >= '0' && name[i] <= '9' && i - digits_start < 9) {
    pid = pid * 10 + static_cast<DWORD>(name[i] - '0');
    ++i;
  }
  if (i == digits_start || i >= name.size() || name[i] != '-') return 0;
  if (name.size() - i - 1 < 6) return 0;
  return pid;
}

bool ProcessIsRunning(DWORD pid) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

}  // namespace

int CreateTempFile(const std::string& folder, std::string_view base, std::string_view kind,
                   std::string* path) {
  return CreateWithFlags(folder, base, kind, 0, path);
}

int CreateAnonymousTempFile(const std::string& folder, std::string_view base) {
  std::string path;
  return CreateWithFlags(folder, base, "run-", _O_TEMPORARY | _O_SHORT_LIVED, &path);
}

void RemoveAbandonedTempFiles(const std::string& folder) {
  std::string pattern = folder;
  if (!pattern.empty() && !IsSeparator(pattern.back())) pattern += '\\';
  const std::string prefix = pattern;
  pattern += ".*.kelvador-*";
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  const DWORD self = GetCurrentProcessId();
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    const DWORD owner = OwnerOf(entry.cFileName);
    if (owner == 0 || owner == self || ProcessIsRunning(owner)) continue;
    DeleteFileA((prefix + entry.cFileName).c_str());
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

int RememberTempFile(const std::string&) { return -1; }

void ForgetTempFile(int) {}

}  // namespace kelvador
