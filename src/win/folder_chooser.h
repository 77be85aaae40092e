#pragma once

#include <windows.h>

#include <string>

namespace vesk::win {

// Asks the operator for a destination folder with the shell's folder picker
// (IFileOpenDialog, FOS_PICKFOLDERS), modal to `owner`, opened at the chooser start
// folder of `startPath` (the shell's own choice where there is none); the folder's full path as
// UTF-8, or the empty text when the operator cancels or no picker is available.
// COM must be initialised on the calling thread.
std::string chooseDestinationFolder(HWND owner, const std::string& startPath);

}  // namespace vesk::win
