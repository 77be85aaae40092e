#include "package/earlier_package.h"

#include <algorithm>

#include "base/folder_sizes.h"
#include "base/path_terms.h"
#include "package/package_layout.h"
#include "package/package_members.h"

namespace vesk {

namespace {

void listBelow(const std::string& package, const std::string& relative, ListedFolder& tree) {
  tree.folders.insert(relative);
  const Result<std::vector<StampedEntry>> entries = listFolderStamps(package + relative);
  if (!entries) {
    tree.unreadable.push_back(relative);
    return;
  }
  for (const StampedEntry& entry : *entries) {
    std::string path = relative + kPathSeparator + entry.name;
    if (entry.type == EntryType::File) {
      tree.files.emplace(std::move(path), entry.stamp);
    } else if (entry.type == EntryType::Folder) {
      listBelow(package, path, tree);
    } else {
      tree.irregular.push_back(std::move(path));
    }
  }
}

}  // namespace

ListedFolder listPackageFolder(const std::string& package, const std::string& relative) {
  ListedFolder tree;
  listBelow(package, relative, tree);
  return tree;
}

EarlierPackage lookAtEarlierPackage(const std::string& destination, DocumentNames* names) {
  EarlierPackage earlier;
  const std::string package = joinPath(destination, "");
  earlier.record = readEarlierRecord(package);
  earlier.members = packageMembers(destination, names);
  if (!earlier.record || !std::binary_search(earlier.members.begin(), earlier.members.end(),
                                             std::string(kDocumentName))) {
    return earlier;
  }
  for (const std::string& name : earlier.members) {
    if (!isEntryFolderName(name)) continue;
    ListedFolder listed = listPackageFolder(package, name);
    for (const auto& [path, stamp] : listed.files) {
      earlier.record->seen.emplace(recordedPackagePath(path), stamp);
    }
    earlier.entryFolders.emplace(name, std::move(listed));
  }
  return earlier;
}

}  // namespace vesk
