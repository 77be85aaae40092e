#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/file_stamp.h"
#include "base/folder_walk.h"

namespace vesk {

// A folder entry with what one status query of it tells: its type (a link is a Link,
// never followed) and, for a regular file, its size.
struct SizedEntry {
  std::string name;
  EntryType type = EntryType::File;
  std::uint64_t size = 0;  // of a File
};

// listFolder with each entry's size: on POSIX one status query per entry relative to
// the open folder (the folder's path is not walked again for each), on Windows what
// the listing itself gives. Fails, naming the folder, as listFolder does; an entry
// that vanishes while listed is left out, one that cannot be looked at fails naming it.
Result<std::vector<SizedEntry>> listFolderSizes(const std::string& folder);

// A folder entry with its type (a link is a Link, never followed) and, for a regular
// file, its stamp: which file it is, its size and time.
struct StampedEntry {
  std::string name;
  EntryType type = EntryType::File;
  FileStamp stamp;  // of a File
};

// listFolder with each regular file's stamp: on POSIX one status query per entry
// relative to the open folder, on Windows fileStampOf of each file. Fails as
// listFolderSizes does; an entry that vanishes while listed is left out, one that
// cannot be looked at fails naming it.
Result<std::vector<StampedEntry>> listFolderStamps(const std::string& folder);

}  // namespace vesk
