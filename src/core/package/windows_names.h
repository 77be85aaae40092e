#pragma once

#include <cstddef>
#include <string_view>

namespace vesk {

// Longest full path, in UTF-16 code units, that Windows opens without the long-path
// prefix (MAX_PATH less its terminating null).
inline constexpr std::size_t kMaxWindowsPathLength = 259;

// Why Windows could not hold a path of a package.
enum class WindowsNameFault {
  None,
  ReservedName,        // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with any extension, any case
  TrailingDotOrBlank,  // a component ending with "." or " "
  ForbiddenCharacter,  // one of \<>:"|?* or a control character
  PathTooLong,         // destination and path together longer than kMaxWindowsPathLength
};

// The first fault of `relativePath` (components separated by "/" or the system's
// separator, so that a "\" in a name on POSIX is a forbidden character) placed below
// `destination` on a Windows system, checking the components in order and then the
// length of the whole; None when Windows can hold it. Pure.
WindowsNameFault windowsPathFault(std::string_view destination, std::string_view relativePath);

// The number of UTF-16 code units that the UTF-8 `text` takes.
std::size_t utf16Length(std::string_view text);

}  // namespace vesk
