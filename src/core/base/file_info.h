#pragma once

#include <cstdint>
#include <string>

#include "base/file_kind.h"

namespace vesk {

// What one look at a path tells, following links.
struct FileInfo {
  FileKind kind = FileKind::Missing;
  std::uint64_t size = 0;  // of a regular file
  bool readable = false;   // the running user may open it for reading (POSIX: by its mode;
                           // Windows: an open, so a file held without sharing is not)
  int error = 0;           // the system's error number for Missing and Inaccessible, and on Windows
                           // for a regular file that cannot be opened
  std::int64_t modified = 0;  // last modification, in the system's finest unit (ns on POSIX,
                              // 100 ns on Windows); compared only with another reading
  std::int64_t changed = 0;   // last change of status (FileStamp::changed): POSIX only, else 0
  // Which file it is, as FileStamp names it (device, file number): POSIX only, where the
  // same look tells it; both 0 where it is not known (Windows, or not a regular file).
  std::uint64_t device = 0;
  std::uint64_t file = 0;
};

// The kind, size, modification time and readability of `path` with one status query of the file
// system (and, on POSIX, an access check for a regular file the running user does not own). Opens
// nothing.
FileInfo fileInfoOf(const std::string& path);

// Looks at the files of one folder as fileInfoOf does, each by its name relative to the
// folder held open (POSIX), so that the folder's path is not walked again for each of
// its files; by the whole path where the folder cannot be opened, and on Windows.
class FolderFileInfo {
 public:
  // `folder` ends with a separator.
  explicit FolderFileInfo(std::string folder);
  ~FolderFileInfo();
  FolderFileInfo(const FolderFileInfo&) = delete;
  FolderFileInfo& operator=(const FolderFileInfo&) = delete;

  // fileInfoOf(folder + name).
  FileInfo infoOf(const std::string& name) const;

 private:
  std::string folder_;
  int descriptor_ = -1;
};

}  // namespace vesk
