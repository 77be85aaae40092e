#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"

namespace vesk {

// True when `a` sorts before `b` by UTF-16 code units (case-sensitive, no locale;
// a proper prefix first). Differs from UTF-8 byte order for characters beyond
// U+FFFF, which UTF-16 encodes as surrogates below U+E000.
bool utf16Less(std::string_view a, std::string_view b);

// Appends every entry matching the wildcard pattern (a full path whose last component
// is "*" or another wildcard), "." and ".." included, as full paths, then sorts the
// whole list by UTF-16 code units. A pattern that matches nothing leaves the list as
// it is. A folder that cannot be read (missing, no folder, no permission, a read
// error midway) is a failure naming it, with the list left as it was.
Status listFolderFiles(const std::string& pattern, std::vector<std::string>& files);

}  // namespace vesk
