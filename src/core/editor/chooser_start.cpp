#include "editor/chooser_start.h"

#include "base/file_system.h"
#include "base/path_terms.h"

namespace vesk {

std::string chooserStartFolder(const std::string& startPath) {
  if (startPath.empty() || !toFsPath(startPath).is_absolute()) return {};
  if (isDirectory(startPath)) return startPath;
  std::string folder = folderOf(startPath);
  while (folder.size() > 1 && isPathSeparator(folder.back()) && folder[folder.size() - 2] != ':') {
    folder.pop_back();
  }
  return !folder.empty() && isDirectory(folder) ? folder : std::string();
}

}  // namespace vesk
