#include "base/file_kind.h"

#include "base/file_system.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vesk {

#ifndef _WIN32

FileKind fileKindOf(const std::string& path, int* error) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) {
    if (error != nullptr) *error = errno;
    return errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Inaccessible;
  }
  if (S_ISREG(info.st_mode)) return FileKind::Regular;
  if (S_ISDIR(info.st_mode)) return FileKind::Directory;
  return FileKind::Other;
}

bool isSymbolicLink(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

#else

FileKind fileKindOf(const std::string& path, int* error) {
  const DWORD attributes = GetFileAttributesW(win32Path(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (error != nullptr) *error = static_cast<int>(code);
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? FileKind::Missing
                                                                        : FileKind::Inaccessible;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return FileKind::Directory;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return FileKind::Other;
  return FileKind::Regular;
}

bool isSymbolicLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win32Path(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

#endif

}  // namespace vesk
