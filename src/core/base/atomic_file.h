#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace vesk {

// Produces the content of a file piece by piece: called repeatedly, it appends the
// next piece to `out` and returns true while there is more; returns false when done.
// Whatever it appended is written, also on the call that returns false. It may fail
// by returning a failure; nothing is then written.
using ContentWriter = std::function<Result<bool>(std::string& out)>;

// When a write reaches the disk.
enum class Durability {
  Flushed,  // before it returns: the file and its folder are flushed
  // With the next flushFileSystem of its file system, which the caller makes before it
  // relies on the file, where that flush covers the whole file system (see
  // kFlushesWholeFileSystem); elsewhere as Flushed. Spares a flush per file among many.
  AtFileSystemFlush,
};

// Replaces the file at `path` atomically: the content goes to a temporary file in
// the same folder, every write and the close are checked, the file is flushed to
// disk and renamed over the target, and the folder is flushed. On any failure before
// the rename (a WriteFailed naming the target with the system's error, or the
// producer's own failure) an earlier file of that name is left byte-identical and no
// temporary file remains. The rename is the commit: when only the flush of the folder
// after it fails, the new file stands, and the WriteFailed says that its place in the
// folder may not survive a power loss.
// A new file gets the permissions of a newly created file; a replaced file's
// permission bits carry over to its successor. With Durability::AtFileSystemFlush the
// file and the folder are not flushed here (see Durability).
Status writeFileAtomically(const std::string& path, std::string_view bytes,
                           Durability durability = Durability::Flushed);
Status writeFileAtomically(const std::string& path, const ContentWriter& produce,
                           Durability durability = Durability::Flushed);
// As writeFileAtomically, with the temporary file made in `temporaryFolder` (ending
// with a separator, on the target's file system) rather than beside the target: a
// write cut short leaves nothing in the target's folder.
Status writeFileAtomicallyFrom(const std::string& path, std::string_view bytes,
                               const std::string& temporaryFolder,
                               Durability durability = Durability::Flushed);

}  // namespace vesk
