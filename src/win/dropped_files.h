#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <string>
#include <vector>

namespace vesk::win {

// The paths of one shell drop as UTF-8, in the order the shell delivers them, read
// with DragQueryFileW: first the number of paths, then for each the length and the
// path into a buffer one character longer. The drop handle stays the caller's.
std::vector<std::string> droppedPaths(HDROP drop);

}  // namespace vesk::win
