#include "base/file_operations.h"

#include <cerrno>

#include "base/file_system_flush.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vesk {

FileOperations systemFileOperations() {
  return {[](const std::string& from, const std::string& to, const CopyProgress& progress) {
            return copyFile(from, to, progress);
          },
          [](const std::string& folder, int& error) { return flushFileSystem(folder, error); }};
}

int lastSystemError() {
#ifdef _WIN32
  return static_cast<int>(GetLastError());
#else
  return errno;
#endif
}

}  // namespace vesk
