#pragma once

#include <functional>
#include <string>

#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/hash_queue.h"

namespace vesk {

// The file operations a create performs whose failures a test cannot provoke on a
// healthy disk, passed in so that a test can make them fail (an injected EIO, a full
// disk).
struct FileOperations {
  std::function<Status(const std::string& from, const std::string& to, const CopyProgress& progress,
                       const CopyContent& content)>
      copy;
  // Makes the file system holding the folder durable (see flushFileSystem).
  std::function<Status(const std::string& folder)> flush;
  // Puts a reflink or hard link of `from` at `to` (see cloneOrLink); empty: cloneOrLink.
  // A test gives one that changes `from` on the way, as a program saving it would.
  std::function<CloneMethod(const std::string& from, const std::string& to, bool& noReflink)> link;
  // Makes each hasher of the create's content; empty: Sha256() (a test gives one that
  // fails, as a library that cannot hash does).
  NewHasher hasher;
};

// A hasher from `operations`' own maker, else Sha256().
Sha256 newHasherOf(const FileOperations& operations);

// The real operations: copyFile, flushFileSystem, cloneOrLink and Sha256.
FileOperations systemFileOperations();

}  // namespace vesk
