#include "base/file_lock.h"

#include <utility>

#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vesk {

FileLock::~FileLock() {
  release();
}

#ifdef _WIN32

FileLock::FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

bool FileLock::held() const {
  return handle_ != nullptr;
}

void FileLock::release() {
  if (handle_ == nullptr) return;
  OVERLAPPED whole{};
  UnlockFileEx(handle_, 0, MAXDWORD, MAXDWORD, &whole);
  CloseHandle(handle_);
  handle_ = nullptr;
}

LockAttempt lockFile(const std::string& path, bool create, FileLock& lock, int& error) {
  lock.release();
  // Shared for reading, writing and deleting: the lock, not the open, keeps others out,
  // and the owner removes the file while it is open.
  HANDLE handle = CreateFileW(win32Path(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              create ? OPEN_ALWAYS : OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return LockAttempt::Failed;
  }
  OVERLAPPED whole{};
  if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                  MAXDWORD, &whole)) {
    const DWORD failure = GetLastError();
    CloseHandle(handle);
    if (failure == ERROR_LOCK_VIOLATION || failure == ERROR_IO_PENDING) return LockAttempt::Busy;
    error = static_cast<int>(failure);
    return LockAttempt::Failed;
  }
  lock.handle_ = handle;
  return LockAttempt::Acquired;
}

#else

FileLock::FileLock(FileLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

bool FileLock::held() const {
  return fd_ >= 0;
}

void FileLock::release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

LockAttempt lockFile(const std::string& path, bool create, FileLock& lock, int& error) {
  lock.release();
  const int fd =
      ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0644);
  if (fd < 0) {
    error = errno;
    return LockAttempt::Failed;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int failure = errno;
    ::close(fd);
    if (failure == EWOULDBLOCK) return LockAttempt::Busy;
    error = failure;
    return LockAttempt::Failed;
  }
  // The holder removes the file while it holds the lock: a lock taken on a file that is
  // no longer at the path was taken on the holder's way out, and is someone else's turn.
  struct stat locked {};
  struct stat there {};
  if (::fstat(fd, &locked) != 0 || ::lstat(path.c_str(), &there) != 0 ||
      locked.st_ino != there.st_ino || locked.st_dev != there.st_dev) {
    ::close(fd);
    return LockAttempt::Busy;
  }
  lock.fd_ = fd;
  return LockAttempt::Acquired;
}

#endif

bool lockHeldElsewhere(const std::string& path) {
  FileLock probe;
  int error = 0;
  return lockFile(path, false, probe, error) == LockAttempt::Busy;
}

}  // namespace vesk
