#pragma once

#include <string>

namespace vesk {

enum class LockAttempt {
  Acquired,  // `lock` holds the file's lock
  Busy,      // another open file holds it
  Failed,    // the file could not be opened (or made); `error` says why
};

class FileLock;

// An exclusive lock on one file (flock on POSIX, LockFileEx on Windows), held from a
// successful lockFile until release() or destruction. A lock belongs to the open
// file, so a second lockFile on the same path fails even within one process, and the
// system drops the lock of a process that is killed.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool held() const;
  // Gives the lock up and closes the file; the file stays.
  void release();

 private:
  friend LockAttempt lockFile(const std::string& path, bool create, FileLock& lock, int& error);
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

// Opens the file at `path` (made first when `create` and missing; never a link
// followed into place) and takes its exclusive lock without waiting. Busy as well when
// the file was removed from the path while the lock was being taken (its holder
// removes it before giving the lock up).
LockAttempt lockFile(const std::string& path, bool create, FileLock& lock, int& error);

// True when another open file holds the lock of the existing file at `path`; false
// when nobody does or the file cannot be opened.
bool lockHeldElsewhere(const std::string& path);

}  // namespace vesk
