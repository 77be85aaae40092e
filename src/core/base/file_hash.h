#pragma once

#include <cstdint>
#include <string>

#include "base/failure.h"
#include "base/sha256.h"

namespace vesk {

// A file's SHA-256 and the number of bytes it was computed over.
struct FileHash {
  Sha256Digest digest{};
  std::uint64_t size = 0;
};

// Reads the regular file at `path` from start to end in pieces (bounded memory) and
// hashes it. A symbolic link is not followed and a pipe or device is not read: both
// fail as NotRegularFile, as do folders; an unreadable file fails as ReadFailed, and one the
// library cannot hash as HashUnavailable.
Result<FileHash> hashFile(const std::string& path);

}  // namespace vesk
