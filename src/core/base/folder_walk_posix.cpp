#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "base/folder_walk.h"
#include "base/free_in_background_posix.h"
#include "base/path_terms.h"

namespace vesk {

namespace {

Failure lastFailure(FailureCode code, const std::string& path) {
  const int error = errno;
  return makeFailure(error == ENOENT ? FailureCode::NotFound : code, path, error);
}

// A removed file of at least this size is freed on a thread of its own.
constexpr off_t kFreeLaterBytes = off_t{64} << 10;
// Most removed files held open at once before they are handed on to be freed.
constexpr std::size_t kFreeBatch = 64;

// Removes what is named `name` in the folder open as `parent` (AT_FDCWD: a path as
// given; `path` names it in failures), see removeTree. Every look, open and removal is
// relative to the folder's own descriptor and never follows a link, so a folder
// swapped for a link meanwhile is removed as the link, not entered. A large file that
// is its own only name is opened before it is removed and, once it has no name left at
// all, added to `released`; each full batch is handed on to be freed.
Status removeAt(int parent, const char* name, const std::string& path, std::vector<int>& released) {
  struct stat info;
  if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return {};
    return lastFailure(FailureCode::WriteFailed, path);
  }
  int folder = -1;
  if (S_ISDIR(info.st_mode)) {
    folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (folder < 0 && errno == ENOENT) return {};
    if (folder < 0 && errno != ELOOP && errno != ENOTDIR) {
      return lastFailure(FailureCode::WriteFailed, path);
    }
    // What is there now is no folder (it was replaced meanwhile): removed as itself.
  }
  if (folder < 0) {
    int held = -1;
    if (S_ISREG(info.st_mode) && info.st_nlink == 1 && info.st_size >= kFreeLaterBytes) {
      held = ::openat(parent, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
      struct stat opened;
      if (held >= 0 && (::fstat(held, &opened) != 0 || opened.st_dev != info.st_dev ||
                        opened.st_ino != info.st_ino)) {
        ::close(held);
        held = -1;
      }
    }
    if (::unlinkat(parent, name, 0) != 0 && errno != ENOENT) {
      const Failure failure = lastFailure(FailureCode::WriteFailed, path);
      if (held >= 0) ::close(held);
      return failure;
    }
    if (held < 0) return {};
    // Truncated only when no name reaches it any more: not one made meanwhile either.
    struct stat removed;
    if (::fstat(held, &removed) != 0 || removed.st_nlink != 0) {
      ::close(held);
      return {};
    }
    released.push_back(held);
    if (released.size() >= kFreeBatch) freeInBackground(std::exchange(released, {}));
    return {};
  }
  // The names first, then their removal: a folder is not changed while it is read.
  std::vector<std::string> names;
  const int listed = ::dup(folder);
  DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
  if (dir == nullptr) {
    const Failure failure = lastFailure(FailureCode::WriteFailed, path);
    if (listed >= 0) ::close(listed);
    ::close(folder);
    return failure;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    const std::string entryName = entry->d_name;
    if (entryName != "." && entryName != "..") names.push_back(entryName);
  }
  const int error = errno;
  ::closedir(dir);
  if (error != 0) {
    ::close(folder);
    return makeFailure(FailureCode::WriteFailed, path, error);
  }
  for (const std::string& entryName : names) {
    const Status removed = removeAt(folder, entryName.c_str(), joinPath(path, entryName), released);
    if (!removed) {
      ::close(folder);
      return removed;
    }
  }
  ::close(folder);
  if (::unlinkat(parent, name, AT_REMOVEDIR) != 0 && errno != ENOENT) {
    return lastFailure(FailureCode::WriteFailed, path);
  }
  return {};
}

EntryType typeOfMode(mode_t mode) {
  if (S_ISLNK(mode)) return EntryType::Link;
  if (S_ISDIR(mode)) return EntryType::Folder;
  if (S_ISREG(mode)) return EntryType::File;
  return EntryType::Other;
}

}  // namespace

Result<EntryType> entryTypeOf(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) {
    // A file where a folder of the path should be: nothing is there either (as on
    // Windows, which reports the path missing).
    if (errno == ENOTDIR) return makeFailure(FailureCode::NotFound, path, ENOTDIR);
    return lastFailure(FailureCode::ReadFailed, path);
  }
  return typeOfMode(info.st_mode);
}

Result<std::vector<FolderEntry>> listFolder(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    return lastFailure(errno == ENOTDIR ? FailureCode::NotRegularFile : FailureCode::ReadFailed,
                       folder);
  }
  std::vector<FolderEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    EntryType type = EntryType::Other;
    switch (entry->d_type) {
      case DT_REG:
        type = EntryType::File;
        break;
      case DT_DIR:
        type = EntryType::Folder;
        break;
      case DT_LNK:
        type = EntryType::Link;
        break;
      case DT_UNKNOWN: {
        // Some file systems leave the type to a status query.
        struct stat info;
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
          const Failure failure = lastFailure(FailureCode::ReadFailed, joinPath(folder, name));
          ::closedir(dir);
          return failure;
        }
        type = typeOfMode(info.st_mode);
        break;
      }
      default:
        break;
    }
    entries.push_back({name, type});
  }
  const int error = errno;
  ::closedir(dir);
  if (error != 0) return makeFailure(FailureCode::ReadFailed, folder, error);
  return entries;
}

Status renamePath(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
  if (errno == EEXIST) return makeFailure(FailureCode::AlreadyExists, to, EEXIST);
  if (errno != EINVAL && errno != ENOSYS) return lastFailure(FailureCode::WriteFailed, from);
#endif
  // A file system without the atomic form: look first, then rename.
  struct stat info;
  if (::lstat(to.c_str(), &info) == 0) return makeFailure(FailureCode::AlreadyExists, to, EEXIST);
  if (::rename(from.c_str(), to.c_str()) != 0) return lastFailure(FailureCode::WriteFailed, from);
  return {};
}

Status removeEmptyFolder(const std::string& path) {
  if (::rmdir(path.c_str()) != 0) return lastFailure(FailureCode::WriteFailed, path);
  return {};
}

Status removeTree(const std::string& path) {
  // Large files are freed once their names are gone, off the caller's time.
  std::vector<int> released;
  const Status removed = removeAt(AT_FDCWD, path.c_str(), path, released);
  freeInBackground(std::move(released));
  return removed;
}

void freeInBackground(std::vector<int> descriptors) {
  if (descriptors.empty()) return;
  const auto release = [descriptors] {
    for (const int fd : descriptors) {
      (void)::ftruncate(fd, 0);
      ::close(fd);
    }
  };
  try {
    std::thread(release).detach();
  } catch (const std::system_error&) {
    release();
  }
}

}  // namespace vesk
