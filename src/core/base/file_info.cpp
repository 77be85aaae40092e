#include "base/file_info.h"

#include <cerrno>
#include <functional>
#include <utility>

#ifdef _WIN32
#include <windows.h>

#include "base/file_system.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vesk {

#ifndef _WIN32

namespace {

// The effective user, asked once: Vesk never changes it.
uid_t effectiveUser() {
  static const uid_t user = ::geteuid();
  return user;
}

// What a status query of a path found; `readable` asks the system whether the running
// user may read it (groups, ACLs).
FileInfo infoFrom(int looked, const struct stat& status, const std::function<bool()>& readable) {
  FileInfo info;
  if (looked != 0) {
    info.error = errno;
    info.kind = errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Inaccessible;
    return info;
  }
  if (S_ISREG(status.st_mode)) {
    info.kind = FileKind::Regular;
    info.size = static_cast<std::uint64_t>(status.st_size);
    info.modified =
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    info.changed =
        static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
    info.device = static_cast<std::uint64_t>(status.st_dev);
    info.file = static_cast<std::uint64_t>(status.st_ino);
    // The owner's permission bits decide for the owner, so the usual case of one's own
    // files costs no second system call; for others the system decides (groups, ACLs).
    info.readable = status.st_uid == effectiveUser() && effectiveUser() != 0
                        ? (status.st_mode & S_IRUSR) != 0
                        : readable();
  } else {
    info.kind = S_ISDIR(status.st_mode) ? FileKind::Directory : FileKind::Other;
  }
  return info;
}

}  // namespace

FileInfo fileInfoOf(const std::string& path) {
  struct stat status;
  const int looked = ::stat(path.c_str(), &status);
  return infoFrom(looked, status, [&] { return ::access(path.c_str(), R_OK) == 0; });
}

FolderFileInfo::FolderFileInfo(std::string folder) : folder_(std::move(folder)) {
  descriptor_ = ::open(folder_.empty() ? "." : folder_.c_str(),
                       O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY);
}

FolderFileInfo::~FolderFileInfo() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

FileInfo FolderFileInfo::infoOf(const std::string& name) const {
  if (descriptor_ < 0) return fileInfoOf(folder_ + name);
  struct stat status;
  const int looked = ::fstatat(descriptor_, name.c_str(), &status, 0);
  return infoFrom(looked, status,
                  [&] { return ::faccessat(descriptor_, name.c_str(), R_OK, 0) == 0; });
}

#else

FileInfo fileInfoOf(const std::string& path) {
  FileInfo info;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(win32Path(path).c_str(), GetFileExInfoStandard, &data)) {
    const DWORD code = GetLastError();
    info.error = static_cast<int>(code);
    info.kind = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND
                    ? FileKind::Missing
                    : FileKind::Inaccessible;
    return info;
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    info.kind = FileKind::Directory;
  } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
    info.kind = FileKind::Other;
  } else {
    info.kind = FileKind::Regular;
    info.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.modified = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime);
    // Another program may hold the file open without sharing it, or the user may lack
    // the right to read it: only an open tells. It shares what the copy's own open
    // shares (reading only), so a file another program holds open for writing is
    // unreadable here as it would be to the copy.
    const HANDLE file = CreateFileW(win32Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    info.readable = file != INVALID_HANDLE_VALUE;
    const bool reparse = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (info.readable) {
      // The attributes of a symbolic link are the link's own; the copy reads the file it
      // names, so the size and time are taken from that file, through the open.
      BY_HANDLE_FILE_INFORMATION opened;
      if (reparse && GetFileInformationByHandle(file, &opened)) {
        info.size = (static_cast<std::uint64_t>(opened.nFileSizeHigh) << 32) | opened.nFileSizeLow;
        info.modified = static_cast<std::int64_t>(
            (static_cast<std::uint64_t>(opened.ftLastWriteTime.dwHighDateTime) << 32) |
            opened.ftLastWriteTime.dwLowDateTime);
      }
      CloseHandle(file);
    } else {
      const DWORD code = GetLastError();
      info.error = static_cast<int>(code);
      // A link whose file is gone is missing, as a look that follows it finds.
      if (reparse && (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)) {
        info = FileInfo{};
        info.error = static_cast<int>(code);
      }
    }
  }
  return info;
}

FolderFileInfo::FolderFileInfo(std::string folder) : folder_(std::move(folder)) {}

FolderFileInfo::~FolderFileInfo() = default;

FileInfo FolderFileInfo::infoOf(const std::string& name) const {
  return fileInfoOf(folder_ + name);
}

#endif

}  // namespace vesk
