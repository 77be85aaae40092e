#pragma once

#include <string>

#include "base/failure.h"

namespace vesk {

// What a path names, following links.
enum class FileKind {
  Missing,       // nothing there (or a link to nothing)
  Regular,       // a regular file
  Directory,     // a folder
  Other,         // a pipe, device or socket: never opened, since opening may block
  Inaccessible,  // the path cannot be examined (permission, link loop, ...)
};

// The kind of what `path` names: Missing, Regular, Directory or Other. A path that
// cannot be examined (permission, link loop, ...) is a ReadFailed failure naming it,
// with the system's error number; the value is then never Inaccessible.
Result<FileKind> fileKindOf(const std::string& path);

// True when `path` itself is a symbolic link (not followed).
bool isSymbolicLink(const std::string& path);

// Most bytes read from one file into memory: far beyond any real scene, small enough
// that a huge or endless file is refused instead of exhausting memory.
inline constexpr unsigned long long kMaxReadBytes = 1ull << 30;

}  // namespace vesk
