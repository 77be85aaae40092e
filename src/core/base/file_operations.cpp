#include "base/file_operations.h"

#include "base/file_system_flush.h"

namespace vesk {

FileOperations systemFileOperations() {
  return {[](const std::string& from, const std::string& to, const CopyProgress& progress,
             const CopyContent& content) { return copyFile(from, to, progress, content); },
          [](const std::string& folder) { return flushFileSystem(folder); },
          [](const std::string& from, const std::string& to, bool& noReflink) {
            return cloneOrLink(from, to, noReflink);
          },
          {}};
}

Sha256 newHasherOf(const FileOperations& operations) {
  return operations.hasher ? operations.hasher() : Sha256();
}

}  // namespace vesk
