#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vesk {

// What the file system that would hold a folder allows, as far as it can be learnt
// without making anything.
struct VolumeInfo {
  std::string existing;  // the folder itself or its nearest existing parent; empty if none
  // Why nothing can be made there: 0 when `existing` is a writable folder, else the
  // system's error number (ENOTDIR when it is a file, EROFS, EACCES, ...).
  int unwritable = 0;
  std::optional<std::uint64_t> available;  // free bytes for the running user
  std::uint64_t blockSize = 0;             // allocation unit; 0 when unknown
  std::size_t nameMax = 255;               // longest component, in bytes (UTF-16 units on Windows)
  std::size_t pathMax = 4096;  // longest path, terminating NUL included, in the same unit
  // Names differing only in letter case name one file there (FAT, exFAT and NTFS, also
  // mounted on Linux; every volume on Windows).
  bool caseInsensitive = false;
  // The status change time of its files is one the file system keeps (FileStamp::changed).
  // Not so for FAT and exFAT mounted on Linux: they store none, and the one the kernel
  // shows is forgotten once the file's entry leaves its memory (at the latest at the next
  // mount).
  bool keepsStatusChangeTime = true;
};

// The volume facts for `folder`, which may not exist yet: every query is made on its
// nearest existing parent (the current folder for a relative path without one). Reads
// only.
VolumeInfo volumeInfoOf(const std::string& folder);

}  // namespace vesk
