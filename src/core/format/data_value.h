#pragma once

#include <string>
#include <string_view>

namespace vesk {

// True when a data value (a `path` value, relative to the scene folder) could lead
// out of that folder: it starts with a separator ("\" or "/", so also a UNC path),
// names a drive ("C:..."), or has a ".." component. An empty value stays.
bool dataValueLeavesFolder(std::string_view value);

// The name a data value has inside the entry folder: the value itself when it stays
// below the scene folder, else its last component (keeping a trailing separator), the
// name its copy is made under.
std::string packagedDataValue(std::string_view value);

}  // namespace vesk
