#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#endif

namespace vesk::test {

// System error numbers as the core's file operations report them on this platform
// (errno on POSIX, GetLastError on Windows), for failures a test injects.
#ifdef _WIN32
inline constexpr int kInputOutputError = ERROR_WRITE_FAULT;
inline constexpr int kDiskFullError = ERROR_DISK_FULL;
#else
inline constexpr int kInputOutputError = EIO;
inline constexpr int kDiskFullError = ENOSPC;
#endif

// The reason given for a folder that cannot be made because a part of its parent is
// a file: ENOTDIR on POSIX, ERROR_PATH_NOT_FOUND on Windows.
#ifdef _WIN32
inline constexpr int kParentIsAFileError = ERROR_PATH_NOT_FOUND;
#else
inline constexpr int kParentIsAFileError = ENOTDIR;
#endif

}  // namespace vesk::test
