#pragma once

#include <string>
#include <vector>

#include "base/failure.h"

namespace vesk {

// Folder listings, renames and removals for any path the file calls take. On Windows
// every call goes through win32Path, so a path past the classic 260-character limit
// works (std::filesystem's iteration, rename and removal under MinGW do not take the
// long form). None of them follows a link; each reports failure only through its
// result, naming the path concerned.

// What a folder entry is, not following links.
enum class EntryType {
  File,    // a regular file
  Folder,  // a folder
  Link,    // a symbolic link (on Windows any reparse point: a link or a junction)
  Other,   // a pipe, device or socket
};

struct FolderEntry {
  std::string name;  // the entry's own name, no folder part
  EntryType type = EntryType::File;
};

// What is at `path` itself (a link is a Link, whatever it leads to); NotFound when
// nothing is there.
Result<EntryType> entryTypeOf(const std::string& path);

// Every entry of `folder` but "." and "..", in the order the file system returns them.
// Fails, naming the folder, when it cannot be opened (NotFound when it is missing,
// NotRegularFile when it is no folder) or read to its end (ReadFailed): a folder that
// cannot be read is never mistaken for an empty one.
Result<std::vector<FolderEntry>> listFolder(const std::string& folder);

// Renames a file, link or folder to `to` on the same file system. Never replaces:
// something at `to` already is AlreadyExists. Fails naming `from`.
Status renamePath(const std::string& from, const std::string& to);

// Makes the folder `path` and every missing folder on the way to it, one at a time.
// A folder already there is success; something else in the way fails, naming the path
// that could not be made.
Status createFolders(const std::string& path);

// Removes the folder `path` only while it is empty. Fails naming it when nothing is
// there (NotFound), when it holds anything or is no folder (WriteFailed).
Status removeEmptyFolder(const std::string& path);

// Removes what is at `path`: a file or a link itself (never what the link leads to),
// or a folder with everything in it (links inside removed as links). Nothing at
// `path` is success. Stops at the first entry that cannot be removed and names it.
// Each step removes one entry or fails, so the removal always ends. Every name is gone
// when it returns; a large file whose last name it removed may be freed on a thread of
// its own just after (POSIX), so that its blocks and cached pages do not hold it up.
Status removeTree(const std::string& path);

}  // namespace vesk
