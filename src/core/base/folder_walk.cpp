#include "base/folder_walk.h"

#include "base/file_system.h"
#include "base/path_terms.h"

namespace vesk {

Status createFolders(const std::string& path) {
  std::string folder = path;
  while (folder.size() > 1 && isPathSeparator(folder.back())) folder.pop_back();
  if (folder.empty() || isDirectory(folder)) return {};
  // The parent first; a root ("/", "C:") is always there.
  const std::string parent = folderOf(folder);
  if (!parent.empty() && parent.size() < folder.size()) {
    if (const Status made = createFolders(parent); !made) return made;
  }
  const Status made = createDirectory(folder);
  if (!made && !(made.failure().code == FailureCode::AlreadyExists && isDirectory(folder))) {
    return made;
  }
  return {};
}

}  // namespace vesk
