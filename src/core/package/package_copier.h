#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_hash.h"
#include "base/file_operations.h"
#include "base/file_stamp.h"
#include "base/hash_queue.h"
#include "package/build_progress.h"

namespace vesk {

// Copies the files of one create and keeps the count of files and bytes done, telling
// the progress observer (if any) as it goes.
class PackageCopier {
 public:
  // `operations` must outlive the copier.
  PackageCopier(BuildProgress* progress, const FileOperations& operations)
      : progress_(progress), operations_(operations) {}

  // Announces what the whole run will copy.
  void start(std::uint64_t totalBytes, std::uint64_t totalFiles);

  // Copies one file, replacing an existing target. A cancel asked during the copy
  // stops it after the current piece: Cancelled, the partial target removed. Given
  // `written`, the copy hashes the bytes as it writes them and gives their digest and
  // count there; a hasher that gives no digest fails the copy (HashUnavailable).
  Status copy(const std::string& from, const std::string& to, FileHash* written = nullptr);

  // copy, its bytes hashed on the run's hashing thread while the next files are
  // copied: gives the number of bytes written and the file's number among the hashes
  // that hashes() gives. `seen` (may be empty) sees every piece written, in order.
  struct Queued {
    std::size_t file = 0;
    std::uint64_t size = 0;
  };
  Status copyQueued(const std::string& from, const std::string& to, Queued& queued,
                    const std::function<void(std::string_view)>& seen = {});

  // Waits for the hashes of every file copied with copyQueued, by their numbers; fails
  // (HashUnavailable) when any could not be hashed. Call once, after the last copy.
  Result<std::vector<FileHash>> hashes();

  // Counts a file put in place without copying from its source (a link or clone of
  // `bytes`, or copyUncounted's copy).
  void countPlaced(std::uint64_t bytes);

  // Puts a reflink or hard link of `from` at `to` where the file system allows (see
  // cloneOrLink); Copy when nothing was made.
  CloneMethod link(const std::string& from, const std::string& to, bool& noReflink);

  // Copies `from` to `to` as copy does, its progress shown and a cancel answered after
  // each piece, hashing the bytes written into `written`, but counts nothing: the
  // caller counts the file with countPlaced once it takes it.
  Status copyUncounted(const std::string& from, const std::string& to, FileHash& written);

  // True when the observer asks to stop.
  bool cancelRequested() const { return progress_ != nullptr && progress_->cancelRequested(); }

  std::uint64_t filesCopied() const { return files_; }
  std::uint64_t bytesCopied() const { return bytes_; }

 private:
  Status copyWatched(const std::string& from, const std::string& to, const CopyContent& content);

  BuildProgress* progress_;
  const FileOperations& operations_;
  std::unique_ptr<HashQueue> queue_;
  std::uint64_t files_ = 0;
  std::uint64_t bytes_ = 0;
};

}  // namespace vesk
