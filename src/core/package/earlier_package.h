#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/file_stamp.h"
#include "package/copy_reuse.h"

#include "package/package_members.h"

namespace vesk {

// What one listing of a folder and everything below it found, by paths relative to the
// package with the platform's separators: each regular file with its stamp (links not
// followed), each folder (the listed one among them), and what is neither: links and
// other entries, and folders that could not be listed.
struct ListedFolder {
  std::map<std::string, FileStamp> files;
  std::set<std::string> folders;
  std::vector<std::string> irregular;
  std::vector<std::string> unreadable;
};

// The folder `relative` of the package in `package` (ending with a separator), listed
// now: one listing of each folder, each member looked at once relative to it.
ListedFolder listPackageFolder(const std::string& package, const std::string& relative);

// What a replace learns of the package it replaces before it decides what to keep.
struct EarlierPackage {
  // Its copy record, the stamps of the files in its entry folders among `seen`; nothing
  // without a readable record.
  std::optional<EarlierRecord> record;
  std::vector<std::string> members;  // packageMembers of the destination
  // Each entry folder among the members, listed, by its name; none without a record
  // or without a document.
  std::map<std::string, ListedFolder> entryFolders;
};

// Looks at the package in `destination`: reads its copy record and its document (for
// its members) and lists each of its entry folders. Reads only. `names` (may be null)
// shares the document's reading with the run's other looks.
EarlierPackage lookAtEarlierPackage(const std::string& destination, DocumentNames* names = nullptr);

}  // namespace vesk
