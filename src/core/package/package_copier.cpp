#include "package/package_copier.h"

#include "base/file_system.h"

namespace vesk {

void PackageCopier::start(std::uint64_t totalBytes, std::uint64_t totalFiles) {
  if (progress_ != nullptr) progress_->started(totalBytes, totalFiles);
}

Status PackageCopier::copy(const std::string& from, const std::string& to, FileHash* written) {
  if (written == nullptr) return copyWatched(from, to, {});
  Sha256 hasher = newHasherOf(operations_);
  std::uint64_t count = 0;
  const Status copied = copyWatched(from, to, [&](std::string_view bytes) {
    hasher.update(bytes);
    count += bytes.size();
  });
  if (!copied) return copied;
  const auto digest = hasher.finish();
  if (!digest) return makeFailure(FailureCode::HashUnavailable, to);
  *written = {*digest, count};
  return copied;
}

Status PackageCopier::copyQueued(const std::string& from, const std::string& to, Queued& queued,
                                 const std::function<void(std::string_view)>& seen) {
  if (!queue_) queue_ = std::make_unique<HashQueue>(operations_.hasher);
  queued.file = queue_->begin();
  queued.size = 0;
  // The copy reads straight into the queue's chunks: the bytes written are hashed
  // where they were read to, not copied once more.
  CopyContent content;
  content.room = [this] { return queue_->room(); };
  content.written = [&](std::string_view bytes) {
    if (seen) seen(bytes);
    queue_->commit(bytes.size());
    queued.size += bytes.size();
  };
  const Status copied = copyWatched(from, to, content);
  // A failed copy ends the run, and a file not ended has no hash.
  if (copied) queue_->end();
  return copied;
}

Result<std::vector<FileHash>> PackageCopier::hashes() {
  if (!queue_) return std::vector<FileHash>{};
  return queue_->finish();
}

Status PackageCopier::copyWatched(const std::string& from, const std::string& to,
                                  const CopyContent& content) {
  if (progress_ != nullptr) progress_->fileStarted(from);
  // The cancel is asked after every piece, so that it answers within one piece even
  // in a large file.
  const Status copied = operations_.copy(
      from, to,
      [this](std::uint64_t bytes) {
        bytes_ += bytes;
        if (progress_ != nullptr) progress_->advanced(bytes_, files_);
        return !cancelRequested();
      },
      content);
  if (copied) {
    ++files_;
    if (progress_ != nullptr) progress_->advanced(bytes_, files_);
  }
  return copied;
}

}  // namespace vesk

namespace vesk {

CloneMethod PackageCopier::link(const std::string& from, const std::string& to, bool& noReflink) {
  return operations_.link ? operations_.link(from, to, noReflink)
                          : cloneOrLink(from, to, noReflink);
}

Status PackageCopier::copyUncounted(const std::string& from, const std::string& to,
                                    FileHash& written) {
  if (progress_ != nullptr) progress_->fileStarted(from);
  Sha256 hasher = newHasherOf(operations_);
  std::uint64_t done = 0;
  std::uint64_t count = 0;
  const Status copied = operations_.copy(
      from, to,
      [&](std::uint64_t bytes) {
        done += bytes;
        if (progress_ != nullptr) progress_->advanced(bytes_ + done, files_);
        return !cancelRequested();
      },
      [&](std::string_view bytes) {
        hasher.update(bytes);
        count += bytes.size();
      });
  if (!copied) return copied;
  const auto digest = hasher.finish();
  if (!digest) return makeFailure(FailureCode::HashUnavailable, to);
  written = {*digest, count};
  return copied;
}

void PackageCopier::countPlaced(std::uint64_t bytes) {
  bytes_ += bytes;
  ++files_;
  if (progress_ != nullptr) progress_->advanced(bytes_, files_);
}

}  // namespace vesk
