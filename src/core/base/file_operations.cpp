#include "base/file_operations.h"

#include "base/file_system_flush.h"

namespace vesk {

FileOperations systemFileOperations() {
  return {[](const std::string& from, const std::string& to, const CopyProgress& progress) {
            return copyFile(from, to, progress);
          },
          [](const std::string& folder) { return flushFileSystem(folder); }};
}

}  // namespace vesk
