#include "base/file_kind.h"

#include "base/file_info.h"
#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vesk {

Result<FileKind> fileKindOf(const std::string& path) {
  const FileInfo info = fileInfoOf(path);
  if (info.kind == FileKind::Inaccessible) {
    return makeFailure(FailureCode::ReadFailed, path, info.error);
  }
  return info.kind;
}

#ifndef _WIN32

bool isSymbolicLink(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

#else

bool isSymbolicLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win32Path(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

#endif

}  // namespace vesk
