#pragma once

#include <cstdint>
#include <string>

namespace vesk {

// Follows a create while it copies, and lets the caller cancel it, between two files
// and between two pieces of one file's copy.
// All calls come from the thread that runs the create. The default implementation
// ignores everything and never cancels.
class BuildProgress {
 public:
  virtual ~BuildProgress() = default;

  // Before the first copy: what the whole run will copy.
  virtual void started(std::uint64_t totalBytes, std::uint64_t totalFiles) {
    (void)totalBytes;
    (void)totalFiles;
  }
  // A file copy begins.
  virtual void fileStarted(const std::string& source) { (void)source; }
  // Bytes and files copied so far; called during long copies as well.
  virtual void advanced(std::uint64_t bytesDone, std::uint64_t filesDone) {
    (void)bytesDone;
    (void)filesDone;
  }
  // Every file is copied: the document, the flush of what was written and its check
  // remain, which a large package may take a while over. Not called for a run stopped
  // during its copies.
  virtual void finishing() {}
  // Asked before each file, after each piece copied (at most kCopyPieceBytes), while
  // the document is written, and once more after the final flush; true stops the run
  // as after a failure. Must answer at once.
  virtual bool cancelRequested() { return false; }
};

}  // namespace vesk
