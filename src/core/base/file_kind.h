#pragma once

#include <string>

namespace vesk {

// What a path names, following links.
enum class FileKind {
  Missing,       // nothing there (or a link to nothing)
  Regular,       // a regular file
  Directory,     // a folder
  Other,         // a pipe, device or socket: never opened, since opening may block
  Inaccessible,  // the path cannot be examined (permission, link loop, ...)
};

// The kind of what `path` names. For Inaccessible (and Missing) `error`, when given,
// receives the system's error number.
FileKind fileKindOf(const std::string& path, int* error = nullptr);

// True when `path` itself is a symbolic link (not followed).
bool isSymbolicLink(const std::string& path);

// Most bytes read from one file into memory: far beyond any real scene, small enough
// that a huge or endless file is refused instead of exhausting memory.
inline constexpr unsigned long long kMaxReadBytes = 1ull << 30;

}  // namespace vesk
