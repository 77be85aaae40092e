#pragma once

#include <functional>
#include <string>

#include "base/file_system.h"

namespace vesk {

// The file operations a create performs whose failures a test cannot provoke on a
// healthy disk, passed in so that a test can make them fail (an injected EIO, a full
// disk).
struct FileOperations {
  std::function<Status(const std::string& from, const std::string& to, const CopyProgress& progress,
                       const CopyContent& content)>
      copy;
  // Makes the file system holding the folder durable (see flushFileSystem).
  std::function<Status(const std::string& folder)> flush;
};

// The real operations: copyFile and flushFileSystem.
FileOperations systemFileOperations();

}  // namespace vesk
