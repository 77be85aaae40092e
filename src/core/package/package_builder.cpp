#include "package/package_builder.h"

#include "base/failure.h"
#include "base/file_info.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "package/failure_reason.h"
#include "package/package_copier.h"
#include "package/package_layout.h"

namespace vesk {

namespace {

// True when the source is a regular file of another size or time than the plan saw.
// A source that is gone or no file now is left to the copy, which says why it fails.
bool changed(const PlannedItem& item) {
  const FileInfo info = fileInfoOf(item.source);
  return info.kind == FileKind::Regular &&
         (info.size != item.size || info.modified != item.modified);
}

// The message of a failed folder: its name with a separator, then the fixed text.
std::string folderFailure(const PlannedItem& item) {
  const std::string name = item.role == PlannedRole::DataFolder
                               ? fileNameOf(item.source)
                               : fileNameOf(item.target) + kPathSeparator;
  return name + kFolderCreationFailed;
}

std::string copyFailure(const PlannedItem& item) {
  switch (item.role) {
    case PlannedRole::Scene:
      return kSceneCopyFailed;
    case PlannedRole::Thumbnail:
      return kThumbnailCopyFailed;
    case PlannedRole::Description:
      return kDescriptionCopyFailed;
    case PlannedRole::DataFile:
      return fileNameOf(item.source) + kDataCopyFailed;
    case PlannedRole::Button:
      return item.target == kUpButtonName ? kUpCopyFailed : kDownCopyFailed;
    case PlannedRole::DataFolder:
    case PlannedRole::Folder:
      break;
  }
  return kFolderDataCopyFailed;
}

class PackageRun {
 public:
  PackageRun(const std::string& packageFolder, PackageCopier& copier, MessageSink& sink)
      : folder_(packageFolder), copier_(copier), sink_(sink) {}

  // Each step returns false when the run must stop; its message has been shown.
  bool makeFolder(const PlannedItem& item) {
    if (cancelled()) return false;
    const Status made = createDirectory(folder_ + item.target);
    if (made) return true;
    return fail(withReason(folderFailure(item), folderFailureReason(made.failure())));
  }

  bool copy(const PlannedItem& item) {
    if (cancelled()) return false;
    if (changed(item)) return fail(kSourceChangedMessage + item.source);
    const Status copied = copier_.copy(item.source, folder_ + item.target);
    if (copied) return true;
    if (copied.failure().code == FailureCode::Cancelled) return cancel();
    const std::string reason = copyFailureReason(item.source, copied.failure());
    if (item.role == PlannedRole::DataFolder) {
      return fail(withReason(kFolderDataCopyFailed, item.source + ": " + reason));
    }
    return fail(withReason(copyFailure(item), reason));
  }

  bool cancelled() {
    if (!copier_.cancelRequested()) return false;
    cancel();
    return true;
  }

  // True when a cancel, not a failure, stopped the run.
  bool wasCancelled() const { return cancelled_; }

 private:
  // A cancel is said by the run's caller, which knows what it undid.
  bool cancel() {
    cancelled_ = true;
    return false;
  }

  bool fail(const std::string& message) {
    sink_.showMessage(errorMessage(message));
    return false;
  }

  const std::string& folder_;
  PackageCopier& copier_;
  MessageSink& sink_;
  bool cancelled_ = false;
};

}  // namespace

FolderCopyResult copyFolderFiles(const std::vector<const PlannedItem*>& files,
                                 const std::string& packageFolder, PackageCopier& copier,
                                 MessageSink& sink) {
  PackageRun run(packageFolder, copier, sink);
  for (const PlannedItem* file : files) {
    if (!run.copy(*file)) {
      return run.wasCancelled() ? FolderCopyResult::Cancelled : FolderCopyResult::Failed;
    }
  }
  return FolderCopyResult::Copied;
}

PackageOutcome buildPackageFolders(const PackagePlan& plan, const std::string& packageFolder,
                                   MessageSink& sink, BuildProgress* progress,
                                   const FileOperations* operations) {
  const FileOperations system = systemFileOperations();
  PackageCopier copier(progress, operations != nullptr ? *operations : system);
  copier.start(plan.bytesToCopy, plan.filesToCopy);
  PackageRun run(packageFolder, copier, sink);

  PackageOutcome outcome;
  const auto finish = [&](bool stopped, bool cancelled = false) {
    outcome.stopped = stopped;
    outcome.cancelled = cancelled;
    outcome.filesCopied = copier.filesCopied();
    outcome.bytesCopied = copier.bytesCopied();
    return outcome;
  };
  const std::vector<PlannedItem>& items = plan.items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const PlannedItem& item = items[i];
    if (item.step == PlannedItem::Step::CopyFile) {
      if (!run.copy(item)) return finish(true, run.wasCancelled());
      continue;
    }
    if (!run.makeFolder(item)) return finish(true, run.wasCancelled());
    if (item.role != PlannedRole::DataFolder) continue;
    // The data folder's own files follow it.
    std::vector<const PlannedItem*> files;
    for (; i + 1 < items.size() && items[i + 1].step == PlannedItem::Step::CopyFile &&
           items[i + 1].role == PlannedRole::DataFolder;
         ++i) {
      files.push_back(&items[i + 1]);
    }
    switch (copyFolderFiles(files, packageFolder, copier, sink)) {
      case FolderCopyResult::Copied:
        break;
      case FolderCopyResult::Failed:
        return finish(true);
      case FolderCopyResult::Cancelled:
        return finish(true, true);
    }
  }
  return finish(false);
}

}  // namespace vesk
