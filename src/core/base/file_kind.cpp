#include "base/file_kind.h"

#include "base/file_info.h"
#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include <cerrno>
#endif

namespace vesk {

#ifndef _WIN32

// One status query: whether the running user may read the file is not asked.
Result<FileKind> fileKindOf(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) {
    const int error = errno;
    if (error == ENOENT || error == ENOTDIR) return FileKind::Missing;
    return makeFailure(FailureCode::ReadFailed, path, error);
  }
  if (S_ISREG(status.st_mode)) return FileKind::Regular;
  return S_ISDIR(status.st_mode) ? FileKind::Directory : FileKind::Other;
}

bool isSymbolicLink(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

#else

Result<FileKind> fileKindOf(const std::string& path) {
  const FileInfo info = fileInfoOf(path);
  if (info.kind == FileKind::Inaccessible) {
    return makeFailure(FailureCode::ReadFailed, path, info.error);
  }
  return info.kind;
}

bool isSymbolicLink(const std::string& path) {
  const std::wstring wide = win32Path(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && isLinkAt(wide, attributes);
}

#endif

}  // namespace vesk
