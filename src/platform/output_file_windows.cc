// OutputFile on Windows. The download file is written in text mode, so every
// line feed of a record reaches the file as carriage return and line feed, as
// on the platform the installations' readers expect. Replacing writes a
// temporary file beside the target and moves it over the target once
// complete; a device name (NUL, CON) is written directly; appending remembers
// the old length and cuts the file back on failure.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cstdio>

#include "records/output_file.h"
#include "records/temp_files.h"

namespace kelvador {
namespace {

constexpr int kWriteFlags = _O_WRONLY | _O_CREAT | _O_TEXT | _O_NOINHERIT;

// Whether `path` names something that exists but is no file on a disk (a
// device such as NUL or CON, or a pipe).
bool IsDevice(const std::string& path) {
  const HANDLE handle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool device = GetFileType(handle) != FILE_TYPE_DISK;
  CloseHandle(handle);
  return device;
}

// Cuts the file open as `fd` back to `length` bytes.
void Truncate(int fd, std::int64_t length) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  LARGE_INTEGER position;
  position.QuadPart = length;
  if (handle != INVALID_HANDLE_VALUE && SetFilePointerEx(handle, position, nullptr, FILE_BEGIN)) {
    SetEndOfFile(handle);
  }
}

void CutBack(const std::string& path, std::int64_t length) {
  const int fd = _open(path.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return;
  Truncate(fd, length);
  _close(fd);
}

}  // namespace

OutputFile::~OutputFile() { Abandon(); }

int OutputFile::Open(const std::string& target, bool replace) {
  Abandon();
  target_ = target;
  // Whatever this program printed so far must come before records written to
  // the same console or pipe.
  std::fflush(stdout);
  if (!replace) {
    fd_ = _open(target.c_str(), kWriteFlags | _O_APPEND, _S_IREAD | _S_IWRITE);
    if (fd_ < 0) return -1;
    struct _stati64 info {};
    if (_fstati64(fd_, &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG) {
      old_length_ = static_cast<off_t>(info.st_size);
    }
    mode_ = Mode::kAppend;
    return 0;
  }

  if (IsDevice(target)) {
    fd_ = _open(target.c_str(), kWriteFlags | _O_TRUNC, _S_IREAD | _S_IWRITE);
    if (fd_ < 0) return -1;
    mode_ = Mode::kDirect;
    return 0;
  }
  const DWORD attributes = GetFileAttributesA(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    // A folder or a read-only file is refused, as opening it would be.
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return -1;
  } else {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND) return -1;  // also a folder that does not exist
  }

  std::string folder;
  std::string base;
  SplitTargetName(target_, &folder, &base);
  RemoveAbandonedTempFiles(folder);
  fd_ = CreateTempFile(folder, base, "", &temp_path_);
  if (fd_ < 0) return -1;
  mode_ = Mode::kTemporary;
  if (_setmode(fd_, _O_TEXT) == -1) {
    Abandon();
    return -1;
  }
  temp_slot_ = RememberTempFile(temp_path_);
  return 0;
}

int OutputFile::Commit() {
  switch (mode_) {
    case Mode::kNone:
      return -1;
    case Mode::kDirect: {
      const int result = _close(fd_);
      fd_ = -1;
      mode_ = Mode::kNone;
      return result == 0 ? 0 : -1;
    }
    case Mode::kAppend: {
      const int closed = _close(fd_);
      fd_ = -1;
      mode_ = Mode::kNone;
      if (closed != 0) {
        if (old_length_ >= 0) CutBack(target_, old_length_);
        return -1;
      }
      return 0;
    }
    case Mode::kTemporary: {
      if (_commit(fd_) != 0) {
        Abandon();
        return -1;
      }
      const int closed = _close(fd_);
      fd_ = -1;
      if (closed != 0 ||
          !MoveFileExA(temp_path_.c_str(), target_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Abandon();
        return -1;
      }
      ForgetTempFile(temp_slot_);
      temp_slot_ = -1;
      mode_ = Mode::kNone;
      return 0;
    }
  }
  return -1;
}

void OutputFile::Abandon() {
  switch (mode_) {
    case Mode::kNone:
      return;
    case Mode::kDirect:
      break;
    case Mode::kAppend:
      if (old_length_ >= 0 && fd_ >= 0) Truncate(fd_, old_length_);
      break;
    case Mode::kTemporary:
      if (fd_ >= 0) _close(fd_);
      fd_ = -1;
      DeleteFileA(temp_path_.c_str());
      ForgetTempFile(temp_slot_);
      temp_slot_ = -1;
      break;
  }
  if (fd_ >= 0) _close(fd_);
  fd_ = -1;
  mode_ = Mode::kNone;
}

}  // namespace kelvador
