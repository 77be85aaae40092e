#pragma once

#include <windows.h>

#include <string>

namespace vesk::win {

// The folder the chooser opens in for `startPath`: the path itself when it is a
// folder, its folder when it names a file (also one that is gone by now), nothing
// (the shell's own choice) when neither exists.
std::wstring chooserStartFolder(const std::wstring& startPath);

// Asks the operator for a destination folder with the shell's folder picker
// (IFileOpenDialog, FOS_PICKFOLDERS), modal to `owner`; the folder's full path as
// UTF-8, or the empty text when the operator cancels or no picker is available.
// COM must be initialised on the calling thread.
std::string chooseDestinationFolder(HWND owner, const std::string& startPath);

}  // namespace vesk::win
