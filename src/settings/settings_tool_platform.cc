#include "settings/settings_tool_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace kelvador {
namespace {

void DropLineEnd(std::string* value) {
  if (!value->empty() && value->back() == '\n') {
    value->pop_back();
    if (!value->empty() && value->back() == '\r') value->pop_back();
  }
}

// Reads standard input to its end (`whole`) or to the end of the first line.
int ReadStandardInput(bool whole, std::string* value) {
  value->clear();
  int c;
  while ((c = std::fgetc(stdin)) != EOF) {
    value->push_back(static_cast<char>(c));
    if (!whole && c == '\n') break;
  }
  if (std::ferror(stdin)) return -1;
  DropLineEnd(value);
  return 0;
}

// The real file a path names: symbolic links are followed, so that the link
// itself stays in place. A path that does not exist yet is kept as it is.
std::string TargetPath(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_symlink(path, error)) {
    const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
    if (!error) return target.string();
  }
  return path;
}

}  // namespace

#ifdef _WIN32

int ReadSecretInput(const std::string& prompt, std::string* value) {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) return ReadStandardInput(true, value);
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
  const int result = ReadStandardInput(false, value);
  SetConsoleMode(input, mode);
  std::fputs("\n", stderr);
  return result;
}

// Permissions come from the folder's access control lists, as for any file
// created there; the old file's list is not copied.
int ReplaceFileAtomically(const std::string& path, std::string_view content, std::string* error) {
  const std::string target = TargetPath(path);
  const std::string temporary = target + ".tmp" + std::to_string(GetCurrentProcessId());
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = "cannot create " + temporary;
    return -1;
  }
  DWORD written = 0;
  const bool ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
      written == content.size() && FlushFileBuffers(file);
  CloseHandle(file);
  if (!ok || !MoveFileExA(temporary.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary.c_str());
    *error = "cannot write " + target;
    return -1;
  }
  return 0;
}

#else  // POSIX

namespace {

std::string Describe(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

int ReadSecretInput(const std::string& prompt, std::string* value) {
  termios saved;
  if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved) != 0) {
    return ReadStandardInput(true, value);
  }
  std::fputs(prompt.c_str(), stderr);
  std::fflush(stderr);
  termios silent = saved;
  silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
  const int result = ReadStandardInput(false, value);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
  std::fputs("\n", stderr);
  return result;
}

int ReplaceFileAtomically(const std::string& path, std::string_view content, std::string* error) {
  const std::string target = TargetPath(path);
  struct stat old_status;
  const bool existed = ::stat(target.c_str(), &old_status) == 0;
  if (!existed && errno != ENOENT) {
    *error = Describe("cannot examine", target);
    return -1;
  }
  const std::filesystem::path folder = std::filesystem::path(target).parent_path();
  std::string temporary =
      (folder.empty() ? std::string(".") : folder.string()) + "/.kelvador-settings-XXXXXX";
  const int fd = ::mkstemp(temporary.data());  // created with mode 0600
  if (fd < 0) {
    *error = Describe("cannot create a temporary file for", target);
    return -1;
  }
  bool ok = true;
  if (existed) {
    mode_t mode = old_status.st_mode & 0777;
    // Keep the owner and group; where that is not allowed the file becomes
    // ours, and only its owner may then read it.
    if ((old_status.st_uid != ::geteuid() || old_status.st_gid != ::getegid()) &&
        ::fchown(fd, old_status.st_uid, old_status.st_gid) != 0) {
      mode &= 0700;
    }
    ok = ::fchmod(fd, mode) == 0;
  }
  for (std::size_t done = 0; ok && done < content.size();) {
    const ssize_t put = ::write(fd, content.data() + done, content.size() - done);
    if (put < 0 && errno == EINTR) continue;
    ok = put > 0;
    if (ok) done += static_cast<std::size_t>(put);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    *error = Describe("cannot write", target);
    ::unlink(temporary.c_str());
    return -1;
  }
  // Makes the rename itself durable; a failure here loses nothing already seen.
  const int folder_fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY);
  if (folder_fd >= 0) {
    ::fsync(folder_fd);
    ::close(folder_fd);
  }
  return 0;
}

#endif

}  // namespace kelvador
