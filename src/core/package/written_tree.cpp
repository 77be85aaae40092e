#include "package/written_tree.h"

#include "base/file_kind.h"
#include "base/folder_sizes.h"
#include "base/path_terms.h"
#include "image/image_probe.h"
#include "package/package_layout.h"

namespace vesk {

namespace {

void walkFolder(WrittenTree& tree, const std::string& relative) {
  const std::string full = tree.folder + relative;
  Result<std::vector<SizedEntry>> entries = listFolderSizes(relative.empty() ? tree.folder : full);
  if (!entries) {
    tree.unreadable.push_back(relative.empty() ? tree.folder : full);
    return;
  }
  for (SizedEntry& entry : *entries) {
    std::string path = relative.empty() ? entry.name : relative + kPathSeparator + entry.name;
    const bool descend =
        entry.type == EntryType::Folder && (!relative.empty() || isEntryFolderName(entry.name));
    tree.members[path] = {entry.type, entry.size};
    if (descend) walkFolder(tree, path);
  }
}

}  // namespace

WrittenTree walkWrittenPackage(const std::string& packageFolder) {
  WrittenTree tree;
  tree.folder = packageFolder;
  walkFolder(tree, {});
  return tree;
}

PackageView writtenPackageView(const WrittenTree& tree) {
  PackageView view = diskPackageView(tree.folder);
  const PackageView disk = view;
  view.kindOf = [&tree, disk](const std::string& relative) {
    const auto found = tree.members.find(relative);
    if (found == tree.members.end()) return disk.kindOf(relative);
    switch (found->second.type) {
      case EntryType::File:
        return FileKind::Regular;
      case EntryType::Folder:
        return FileKind::Directory;
      case EntryType::Other:
        return FileKind::Other;
      case EntryType::Link:
        break;
    }
    return disk.kindOf(relative);
  };
  view.holdsScene = [&tree, disk](const std::string& entryFolder) {
    const auto known = tree.members.find(entryFolder);
    if (known == tree.members.end() || known->second.type != EntryType::Folder) {
      return disk.holdsScene(entryFolder);
    }
    const std::string prefix = entryFolder + kPathSeparator;
    for (auto it = tree.members.lower_bound(prefix);
         it != tree.members.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
      const std::string& path = it->first;
      if (path.find(kPathSeparator, prefix.size()) != std::string::npos) continue;
      if (it->second.type != EntryType::Folder && lowerAscii(extensionOf(path)) == ".nuv") {
        return true;
      }
    }
    return false;
  };
  return view;
}

}  // namespace vesk
