#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "base/folder_walk.h"
#include "package/package_verify.h"

namespace vesk {

// A member of a package as one walk found it: its type (links not followed) and, for
// a regular file, its size.
struct WrittenMember {
  EntryType type = EntryType::File;
  std::uint64_t size = 0;
};

// What one walk finds of the package a create has just written: its top members and
// everything below its entry folders, each looked at once (relative to its open
// folder), so that the create's own verify needs no other look at its members.
struct WrittenTree {
  std::string folder;  // the package folder, ending with a separator
  // By path relative to `folder`, native separators between components.
  std::map<std::string, WrittenMember> members;
  std::vector<std::string> unreadable;  // folders that could not be listed, full paths
};

// Walks the package in `packageFolder` (ending with a separator). A folder that cannot
// be listed is noted, never taken for an empty one.
WrittenTree walkWrittenPackage(const std::string& packageFolder);

// The package as the walk found it: kinds and scenes from the walk (a path it does not
// know, or a link, is looked at on disk), picture sizes from the pictures' headers.
// `tree` must outlive the view.
PackageView writtenPackageView(const WrittenTree& tree);

}  // namespace vesk
