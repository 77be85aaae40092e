#include "package/package_copier.h"

#include "base/file_system.h"

namespace vesk {

void PackageCopier::start(std::uint64_t totalBytes, std::uint64_t totalFiles) {
  if (progress_ != nullptr) progress_->started(totalBytes, totalFiles);
}

Status PackageCopier::copy(const std::string& from, const std::string& to, FileHash* written) {
  if (progress_ != nullptr) progress_->fileStarted(from);
  Sha256 hasher;
  std::uint64_t count = 0;
  CopyContent content;
  if (written != nullptr) {
    content = [&](std::string_view bytes) {
      hasher.update(bytes);
      count += bytes.size();
    };
  }
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
  if (copied && written != nullptr) *written = {hasher.finish(), count};
  if (copied) {
    ++files_;
    if (progress_ != nullptr) progress_->advanced(bytes_, files_);
  }
  return copied;
}

}  // namespace vesk

namespace vesk {

void PackageCopier::countPlaced(std::uint64_t bytes) {
  bytes_ += bytes;
  ++files_;
  if (progress_ != nullptr) progress_->advanced(bytes_, files_);
}

}  // namespace vesk
