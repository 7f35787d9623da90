#include "records/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records/temp_files.h"

namespace kelvador {
namespace {

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// Flushes a folder's entries to disk, so that a rename survives a crash.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

OutputFile::~OutputFile() { Abandon(); }

int OutputFile::Open(const std::string& target, bool replace) {
  Abandon();
  target_ = target;
  // Whatever this program printed so far must come before records written to
  // the same terminal or pipe.
  std::fflush(stdout);
  if (!replace) {
    fd_ = open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (fd_ < 0) return -1;
    struct stat info {};
    if (fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) old_length_ = info.st_size;
    mode_ = Mode::kAppend;
    return 0;
  }

  // An empty name names no file: opening it fails, as it would have directly,
  // instead of a temporary file being written that cannot be renamed to "".
  if (target.empty()) return -1;

  // Writing through a symbolic link replaces the file it points to.
  struct stat info {};
  if (lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    char* real = realpath(target.c_str(), nullptr);
    if (real == nullptr) {  // a dangling link: opening creates the file it names
      fd_ = open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
      if (fd_ < 0) return -1;
      mode_ = Mode::kDirect;
      return 0;
    }
    target_ = real;
    std::free(real);
  }
  const bool exists = stat(target_.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) return -1;
  if (exists && !S_ISREG(info.st_mode)) {
    fd_ = open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) return -1;
    mode_ = Mode::kDirect;
    return 0;
  }
  // A target this user may not write is refused, as opening it would be.
  if (exists && access(target_.c_str(), W_OK) != 0) return -1;

  std::string folder;
  std::string base;
  SplitTargetName(target_, &folder, &base);
  RemoveAbandonedTempFiles(folder);
  fd_ = CreateTempFile(folder, base, "", &temp_path_);
  if (fd_ < 0) return -1;
  temp_slot_ = RememberTempFile(temp_path_);
  mode_ = Mode::kTemporary;
  if (exists) {
    // The new file takes the old one's place: same permission bits and, where
    // this user may set them, the same owner and group.
    if (info.st_uid != geteuid() || info.st_gid != getegid()) {
      if (fchown(fd_, info.st_uid, info.st_gid) != 0) {
        // Not permitted to this user: the new file is theirs, with the old permission bits.
      }
    }
    fchmod(fd_, info.st_mode & 07777);
  } else {
    fchmod(fd_, 0666 & ~CurrentUmask());
  }
  return 0;
}

int OutputFile::Commit() {
  switch (mode_) {
    case Mode::kNone:
      return -1;
    case Mode::kDirect: {
      const int result = close(fd_);
      fd_ = -1;
      mode_ = Mode::kNone;
      return result == 0 ? 0 : -1;
    }
    case Mode::kAppend: {
      if (close(fd_) != 0) {
        fd_ = -1;
        if (old_length_ >= 0 && truncate(target_.c_str(), old_length_) != 0) {
          // Nothing more can be done; the failure is reported by the caller.
        }
        mode_ = Mode::kNone;
        return -1;
      }
      fd_ = -1;
      mode_ = Mode::kNone;
      return 0;
    }
    case Mode::kTemporary: {
      if (fsync(fd_) != 0) {
        Abandon();
        return -1;
      }
      const int closed = close(fd_);
      fd_ = -1;
      if (closed != 0 || rename(temp_path_.c_str(), target_.c_str()) != 0) {
        Abandon();
        return -1;
      }
      ForgetTempFile(temp_slot_);
      temp_slot_ = -1;
      mode_ = Mode::kNone;
      std::string folder;
      std::string base;
      SplitTargetName(target_, &folder, &base);
      SyncFolder(folder);
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
      if (old_length_ >= 0 && ftruncate(fd_, old_length_) != 0) {
        // Nothing more can be done; the failure is reported by the caller.
      }
      break;
    case Mode::kTemporary:
      unlink(temp_path_.c_str());
      ForgetTempFile(temp_slot_);
      temp_slot_ = -1;
      break;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  mode_ = Mode::kNone;
}

}  // namespace kelvador
