#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/failure.h"
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

}  // namespace vesk
