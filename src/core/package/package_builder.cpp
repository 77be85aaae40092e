#include "package/package_builder.h"

#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <system_error>

#include "base/failure.h"
#include "base/file_hash.h"
#include "base/file_info.h"
#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "package/copy_reuse.h"
#include "package/failure_reason.h"
#include "package/package_copier.h"
#include "package/package_layout.h"
#include "package/scene_files.h"
#include "package/scene_handoff.h"

namespace vesk {

namespace {

// True when the source, stamped `now`, is a regular file of another size or time than
// the plan saw. A source that is gone or no file now (no stamp) is left to the copy,
// which says why it fails.
bool changed(const PlannedItem& item, const std::optional<FileStamp>& now) {
  return now && (now->size != item.size || now->modified != item.modified);
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

// A planned target as the manifest names the file it makes: its components with "/"
// between them, without the empty and "." ones a data value may hold.
std::string manifestPath(std::string_view target) {
  std::string path;
  for (const std::string& component : pathComponents(target)) {
    if (!path.empty()) path += '/';
    path += component;
  }
  return path;
}

class PackageRun {
 public:
  PackageRun(const std::string& packageFolder, PackageCopier& copier, MessageSink& sink,
             const BuildContent& content = {false, {}})
      : folder_(packageFolder),
        copier_(copier),
        sink_(sink),
        hash_(content.hash),
        scenes_(content.scenes),
        rooms_(content.textRooms) {
    if (hash_ && content.earlierRecord != nullptr) {
      reuse_ = CopyReuse(content.earlierRecord);
    } else if (hash_ && !content.earlierPackage.empty()) {
      reuse_ = CopyReuse(content.earlierPackage);
    }
  }

  // Each step returns false when the run must stop; its message has been shown.
  bool makeFolder(const PlannedItem& item) {
    if (cancelled()) return false;
    const Status made = createDirectory(folder_ + item.target);
    if (made) return true;
    return fail(withReason(folderFailure(item), folderFailureReason(made.failure())));
  }

  bool copy(const PlannedItem& item) {
    if (cancelled()) return false;
    // One look at the source serves both the change check and the copy record.
    const std::optional<FileStamp> source = fileStampOf(item.source, Links::Follow);
    if (changed(item, source)) return fail(kSourceChangedMessage + item.source);
    const std::string target = folder_ + item.target;
    const bool scene = scenes_ != nullptr && item.role == PlannedRole::Scene;
    if (hash_ && source && reuse(item, target, *source)) {
      if (scene) scenes_->begin(item.entryNumber, false);
      return true;
    }
    if (cancelled()) return false;
    // A scene's text is decoded from the bytes as they are written, for the document.
    // The text is the document pass's shortcut: where the memory for it cannot be had,
    // the copy goes on without it and the document pass reads the scene itself.
    std::optional<SceneTextBuilder> text;
    std::uint64_t decoded = 0;
    bool textLost = false;
    if (scene && scenes_->begin(item.entryNumber, hash_, [this] { return cancelRequested(); })) {
      try {
        text.emplace(item.size, rooms_);
      } catch (const std::bad_alloc&) {
        scenes_->abandon();
      }
    }
    PackageCopier::Queued queued;
    const Status copied =
        hash_ ? copier_.copyQueued(
                    item.source, target, queued,
                    text ? std::function<void(std::string_view)>([&](std::string_view bytes) {
                      if (textLost) return;
                      try {
                        text->add(bytes);
                        decoded += bytes.size();
                      } catch (const std::bad_alloc&) {
                        textLost = true;
                      }
                    })
                         : std::function<void(std::string_view)>())
              : copier_.copy(item.source, target);
    if (text) {
      // Only a text of every byte written stands for the scene.
      if (copied && !textLost && decoded == queued.size) {
        scenes_->offer(item.entryNumber, item.source, text->finish());
      } else {
        scenes_->abandon();
      }
    }
    if (copied) {
      if (hash_) record(item, target, queued, source);
      return true;
    }
    if (copied.failure().code == FailureCode::Cancelled) return cancel();
    const std::string reason = copyFailureReason(item.source, copied.failure());
    if (item.role == PlannedRole::DataFolder) {
      return fail(withReason(kFolderDataCopyFailed, item.source + ": " + reason));
    }
    return fail(withReason(copyFailure(item), reason));
  }

  bool cancelRequested() const { return copier_.cancelRequested(); }

  bool cancelled() {
    if (!copier_.cancelRequested()) return false;
    cancel();
    return true;
  }

  // True when a cancel, not a failure, stopped the run.
  bool wasCancelled() const { return cancelled_; }
  std::vector<RecordedFile>& written() { return written_; }
  std::uint64_t filesReused() const { return filesReused_; }
  std::uint64_t bytesReused() const { return bytesReused_; }

  // Gives every file copied its hash, once the hashing thread has them all; false (its
  // message shown) when a file could not be hashed: nothing then vouches for it.
  bool completeHashes() {
    if (!hash_) return true;
    const Result<std::vector<FileHash>> hashes = copier_.hashes();
    if (!hashes) return fail(withReason(kHashFailedMessage, kReasonHashUnavailable));
    for (const auto& [index, file] : queued_) {
      written_[index].hex = hexText((*hashes)[file].digest);
    }
    return true;
  }

 private:
  // A cancel is said by the run's caller, which knows what it undid.
  bool cancel() {
    cancelled_ = true;
    return false;
  }

  // Puts a file already in place at `target` when one holds the source's bytes: a
  // reflink or hard link, else (from the earlier package) a copy whose hash must match
  // the record. False when nothing could stand in: the caller copies the source.
  bool reuse(const PlannedItem& item, const std::string& target, const FileStamp& source) {
    const auto reusable = reuse_.find(item.source, source);
    if (!reusable) return false;
    const RecordedFile& known = reusable->record;
    if (copier_.link(reusable->path, target, noReflink_) == CloneMethod::Copy) {
      if (!reusable->earlier) return false;
      FileHash copied;
      if (!copier_.copyUncounted(reusable->path, target, copied) ||
          hexText(copied.digest) != known.hex) {
        return false;
      }
    } else {
      // The file may have been changed between the look that found it and the link:
      // it stands for the source only while it still has the size and time it was
      // found with. A hard link shares it, and a clone may hold the change.
      const auto now = fileStampOf(reusable->path, Links::DoNotFollow);
      if (!now || now->size != known.size || now->modified != known.modified) {
        (void)removeTree(target);
        return false;
      }
    }
    const auto placed = fileStampOf(target, Links::DoNotFollow);
    if (!placed || placed->size != known.size) {
      // The copy that follows must not write through a link into the earlier file.
      (void)removeTree(target);
      return false;
    }
    copier_.countPlaced(known.size);
    // The summary tells what an earlier package gave; a second copy of one source in
    // this run is a copy of it, however it was made.
    if (reusable->earlier) {
      ++filesReused_;
      bytesReused_ += known.size;
    }
    RecordedFile file = known;
    file.path = manifestPath(item.target);
    file.modified = placed->modified;
    file.source = item.source;
    // Linked or cloned, it has a status change time of its own, noted once in place.
    file.changed = kChangeUnknown;
    // A copy of this run may not be hashed yet: this file gets the same hash.
    if (const auto queued = queuedAt_.find(reusable->path); queued != queuedAt_.end()) {
      queued_.emplace_back(written_.size(), queued->second);
      queuedAt_.emplace(target, queued->second);
    }
    written_.push_back(file);
    reuse_.remember(target, file);
    return true;
  }

  // Notes a file copied from its source: its size as written (its hash follows, see
  // completeHashes), its own time, and the source's stamp when the copy holds all the
  // source held.
  void record(const PlannedItem& item, const std::string& target, const PackageCopier::Queued& hash,
              const std::optional<FileStamp>& source) {
    RecordedFile file;
    file.path = manifestPath(item.target);
    file.size = hash.size;
    queued_.emplace_back(written_.size(), hash.file);
    queuedAt_.emplace(target, hash.file);
    if (const auto own = fileStampOf(target, Links::DoNotFollow)) file.modified = own->modified;
    if (source && source->size == hash.size) {
      file.source = item.source;
      file.sourceSize = source->size;
      file.sourceModified = source->modified;
      file.sourceDevice = source->device;
      file.sourceFile = source->file;
      file.sourceChanged = source->changed;
      reuse_.remember(target, file);
    }
    written_.push_back(std::move(file));
  }

  bool fail(const std::string& message) {
    sink_.showMessage(errorMessage(message));
    return false;
  }

  const std::string& folder_;
  PackageCopier& copier_;
  MessageSink& sink_;
  bool cancelled_ = false;
  bool hash_;
  SceneHandoff* scenes_;
  TextRooms* rooms_;
  CopyReuse reuse_;
  bool noReflink_ = false;
  std::vector<RecordedFile> written_;
  // Which files of written_ wait for which hash of the copier's, and by target path.
  std::vector<std::pair<std::size_t, std::size_t>> queued_;
  std::map<std::string, std::size_t> queuedAt_;
  std::uint64_t filesReused_ = 0;
  std::uint64_t bytesReused_ = 0;
};

FolderCopyResult copyFiles(const std::vector<const PlannedItem*>& files, PackageRun& run) {
  for (const PlannedItem* file : files) {
    if (!run.copy(*file)) {
      return run.wasCancelled() ? FolderCopyResult::Cancelled : FolderCopyResult::Failed;
    }
  }
  return FolderCopyResult::Copied;
}

}  // namespace

FolderCopyResult copyFolderFiles(const std::vector<const PlannedItem*>& files,
                                 const std::string& packageFolder, PackageCopier& copier,
                                 MessageSink& sink) {
  PackageRun run(packageFolder, copier, sink);
  return copyFiles(files, run);
}

PackageOutcome buildPackageFolders(const PackagePlan& plan, const std::string& packageFolder,
                                   MessageSink& sink, BuildProgress* progress,
                                   const FileOperations* operations, const BuildContent& content) {
  const FileOperations system = systemFileOperations();
  PackageCopier copier(progress, operations != nullptr ? *operations : system);
  copier.start(plan.bytesToCopy, plan.filesToCopy);
  PackageRun run(packageFolder, copier, sink, content);
  // However the run ends, the document pass waits for no more scenes.
  struct CloseScenes {
    SceneHandoff* scenes;
    ~CloseScenes() {
      if (scenes != nullptr) scenes->close();
    }
  } closeScenes{content.scenes};

  PackageOutcome outcome;
  const auto finish = [&](bool stopped, bool cancelled = false) {
    outcome.stopped = stopped;
    outcome.cancelled = cancelled;
    outcome.filesCopied = copier.filesCopied();
    outcome.bytesCopied = copier.bytesCopied();
    outcome.filesReused = run.filesReused();
    outcome.bytesReused = run.bytesReused();
    outcome.written = std::move(run.written());
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
    switch (copyFiles(files, run)) {
      case FolderCopyResult::Copied:
        break;
      case FolderCopyResult::Failed:
        return finish(true);
      case FolderCopyResult::Cancelled:
        return finish(true, true);
    }
  }
  if (!run.completeHashes()) return finish(true);
  return finish(false);
}

}  // namespace vesk
