#include "package/package_builder.h"

#include <map>
#include <optional>
#include <utility>

#include "base/failure.h"
#include "base/file_kind.h"
#include "base/file_operations.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "format/two_digits.h"
#include "messages/messages.h"
#include "package/build_command.h"
#include "package/entry_plan.h"
#include "package/failure_reason.h"
#include "package/folder_listing.h"
#include "package/package_copier.h"

namespace vesk {

namespace {

std::string withTrailingSeparator(std::string folder) {
  if (folder.empty() || !isPathSeparator(folder.back())) folder += kPathSeparator;
  return folder;
}

// Creates the folders that lead to the last component of `relative` below `base`;
// folders that exist already are fine.
Status createParentFolders(const std::string& base, const std::string& relative) {
  for (std::size_t i = 1; i + 1 < relative.size(); ++i) {
    if (!isPathSeparator(relative[i]) || isPathSeparator(relative[i - 1])) continue;
    const std::string folder = base + relative.substr(0, i);
    if (isDirectory(folder)) continue;
    if (Status made = createDirectory(folder); !made) return made;
  }
  return {};
}

// A data folder's files in sorted order, and whether the folder could be listed at
// all (a readable folder always lists ".").
struct FolderListing {
  bool listed = false;
  std::vector<std::string> files;
};

FolderListing listFolder(const std::string& folder) {
  std::vector<std::string> listing;
  listFolderFiles(folder + "*", listing);
  FolderListing result;
  result.listed = !listing.empty();
  for (auto& path : listing) {
    if (!isDirectory(path)) result.files.push_back(std::move(path));
  }
  return result;
}

bool isDataFolder(const std::string& item) {
  return copiedAsFolder(item, fileKindOf(item));
}

// Why a data folder cannot be copied, or empty when it can.
std::string dataFolderProblem(const std::string& folder, const FolderListing& listing) {
  int error = 0;
  switch (fileKindOf(folder, &error)) {
    case FileKind::Directory:
      return listing.listed ? std::string() : std::string(kReasonFolderUnreadable);
    case FileKind::Missing:
      return kReasonMissing;
    case FileKind::Regular:
    case FileKind::Other:
      return kReasonNotRegularFile;
    case FileKind::Inaccessible:
      return systemErrorText(error);
  }
  return {};
}

// Every entry's plan: where each of its files lands.
std::vector<std::vector<PlannedFile>> planAll(const std::vector<ExhibitionEntry>& entries) {
  std::vector<std::vector<PlannedFile>> plans;
  for (const auto& entry : entries) {
    std::vector<bool> folders;
    for (const auto& item : entry.dataFiles) folders.push_back(isDataFolder(item));
    plans.push_back(planEntryFiles(entry, folders));
  }
  return plans;
}

// The message refusing a create whose plans cannot be carried out without losing a
// file or writing a name the document cannot hold; nothing when they can.
std::optional<std::string> planProblem(const std::vector<std::vector<PlannedFile>>& plans) {
  const auto collisions = findCollisions(plans);
  if (!collisions.empty()) {
    std::string message = kCollidingNamesMessage;
    for (const auto& c : collisions) {
      message += "\n" + twoDigits(c.entryNumber) + kPathSeparator + c.place + ": " + c.first +
                 " / " + c.second;
    }
    return message;
  }
  const auto names = findUnwritableNames(plans);
  if (!names.empty()) {
    std::string message = kUnwritableNamesMessage;
    for (const auto& name : names) message += "\n" + name;
    return message;
  }
  return std::nullopt;
}

using FolderListings = std::map<std::string, FolderListing>;

// Announces the bytes and files a whole run will copy, for progress reporting, and
// returns the data folders' listings it made on the way.
FolderListings announceTotals(const std::vector<std::vector<PlannedFile>>& plans,
                              const std::string& programFolder, PackageCopier& copier) {
  FolderListings listings;
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;
  const auto add = [&](const std::string& path) {
    bytes += fileSize(path).value_or(0);
    ++files;
  };
  for (const auto& plan : plans) {
    for (const auto& file : plan) {
      if (file.role != PlannedRole::DataFolder) {
        add(file.source);
        continue;
      }
      auto [listing, added] = listings.try_emplace(file.source);
      if (added) listing->second = listFolder(file.source);
      for (const auto& path : listing->second.files) add(path);
    }
  }
  const std::string program = withTrailingSeparator(programFolder);
  add(program + "up.jpg");
  add(program + "down.jpg");
  copier.start(bytes, files);
  return listings;
}

class PackageRun {
 public:
  PackageRun(PackageCopier& copier, MessageSink& sink, FolderListings listings)
      : copier_(copier), sink_(sink), listings_(std::move(listings)) {}

  // Each step returns false when the run must stop; its message has been shown.
  bool copyEntry(int number, const std::vector<PlannedFile>& plan, ExhibitionEntry& packaged,
                 const std::string& destination) {
    const std::string nn = twoDigits(number) + kPathSeparator;
    const std::string entryFolder = destination + nn;
    if (const Status made = createDirectory(entryFolder); !made) {
      return fail(withReason(nn + kFolderCreationFailed, folderFailureReason(made.failure())));
    }
    std::size_t data = 0;
    for (const auto& file : plan) {
      if (cancelled()) return false;
      const std::string target = entryFolder + file.place;
      switch (file.role) {
        case PlannedRole::Scene:
          packaged.scenePath = target;
          if (!copyFile(file.source, target, kSceneCopyFailed)) return false;
          break;
        case PlannedRole::Thumbnail:
          packaged.thumbnailPath = target;
          if (!copyFile(file.source, target, kThumbnailCopyFailed)) return false;
          break;
        case PlannedRole::Description:
          packaged.descriptionPath = target;
          if (!copyFile(file.source, target, kDescriptionCopyFailed)) return false;
          break;
        case PlannedRole::DataFile:
          packaged.dataFiles[data++] = target;
          if (!copyDataFile(entryFolder, file)) return false;
          break;
        case PlannedRole::DataFolder:
          packaged.dataFiles[data++] = target;
          if (!copyDataFolder(entryFolder, file)) return false;
          break;
      }
    }
    return true;
  }

  bool copyButton(const std::string& programFolder, const std::string& destination,
                  const char* name, const char* failure) {
    if (cancelled()) return false;
    return copyFile(withTrailingSeparator(programFolder) + name, destination + name, failure);
  }

 private:
  bool fail(const std::string& message) {
    sink_.showMessage(errorMessage(message));
    return false;
  }

  bool cancelled() {
    if (!copier_.cancelRequested()) return false;
    sink_.showMessage(errorMessage(kCancelledMessage));
    return true;
  }

  bool copyFile(const std::string& source, const std::string& target, const std::string& failure) {
    const Status copied = copier_.copy(source, target);
    if (copied) return true;
    return fail(withReason(failure, copyFailureReason(source, copied.failure())));
  }

  bool copyDataFile(const std::string& entryFolder, const PlannedFile& file) {
    const std::string failure = fileNameOf(file.source) + kDataCopyFailed;
    if (const Status made = createParentFolders(entryFolder, file.place); !made) {
      return fail(withReason(failure, folderFailureReason(made.failure())));
    }
    return copyFile(file.source, entryFolder + file.place, failure);
  }

  bool copyDataFolder(const std::string& entryFolder, const PlannedFile& file) {
    const std::string name = fileNameOf(file.source);
    auto listing = listings_.find(file.source);
    if (listing == listings_.end()) {
      listing = listings_.try_emplace(file.source, listFolder(file.source)).first;
    }
    // A folder that is missing or cannot be read is a failure, never an empty copy.
    const std::string problem = dataFolderProblem(file.source, listing->second);
    if (!problem.empty()) return fail(withReason(name + kDataCopyFailed, problem));

    const std::string target = entryFolder + file.place;
    const std::string folder = target.substr(0, target.size() - 1);
    Status made = createParentFolders(entryFolder, file.place);
    if (made) made = createDirectory(folder);
    if (!made)
      return fail(withReason(name + kFolderCreationFailed, folderFailureReason(made.failure())));
    switch (copyListedFiles(listing->second.files, target, copier_, sink_)) {
      case FolderCopyResult::Copied:
        return true;
      case FolderCopyResult::Failed:
        // The document would name a folder that is incomplete: stop here.
        return false;
      case FolderCopyResult::Cancelled:
        sink_.showMessage(errorMessage(kCancelledMessage));
        return false;
    }
    return true;
  }

  PackageCopier& copier_;
  MessageSink& sink_;
  FolderListings listings_;
};

}  // namespace

FolderCopyResult copyFolderFiles(const std::string& sourceFolder, const std::string& targetFolder,
                                 PackageCopier& copier, MessageSink& sink) {
  return copyListedFiles(listFolder(sourceFolder).files, targetFolder, copier, sink);
}

FolderCopyResult copyListedFiles(const std::vector<std::string>& files,
                                 const std::string& targetFolder, PackageCopier& copier,
                                 MessageSink& sink) {
  for (const auto& file : files) {
    if (copier.cancelRequested()) return FolderCopyResult::Cancelled;
    if (const Status copied = copier.copy(file, targetFolder + fileNameOf(file)); !copied) {
      sink.showMessage(errorMessage(withReason(
          kFolderDataCopyFailed, file + ": " + copyFailureReason(file, copied.failure()))));
      return FolderCopyResult::Failed;
    }
  }
  return FolderCopyResult::Copied;
}

PackageOutcome buildPackageFolders(std::vector<ExhibitionEntry> entries,
                                   std::vector<ExhibitionEntry>& packagedEntries,
                                   const std::string& destinationFolder,
                                   const std::string& programFolder, MessageSink& sink,
                                   BuildProgress* progress, const FileOperations* operations) {
  packagedEntries = entries;
  PackageOutcome outcome;
  // Nothing is copied when a file would replace another or a name cannot be written.
  const auto plans = planAll(entries);
  if (const auto problem = planProblem(plans)) {
    sink.showMessage(errorMessage(*problem));
    outcome.stopped = true;
    return outcome;
  }

  const FileOperations system = systemFileOperations();
  PackageCopier copier(progress, operations != nullptr ? *operations : system);
  PackageRun run(copier, sink, announceTotals(plans, programFolder, copier));

  const auto finish = [&](bool stopped) {
    outcome.stopped = stopped;
    outcome.filesCopied = copier.filesCopied();
    outcome.bytesCopied = copier.bytesCopied();
    return outcome;
  };
  for (std::size_t p = 0; p < packagedEntries.size(); ++p) {
    if (!run.copyEntry(static_cast<int>(p), plans[p], packagedEntries[p], destinationFolder)) {
      return finish(true);
    }
  }
  if (!run.copyButton(programFolder, destinationFolder, "up.jpg", kUpCopyFailed) ||
      !run.copyButton(programFolder, destinationFolder, "down.jpg", kDownCopyFailed)) {
    return finish(true);
  }
  return finish(false);
}

}  // namespace vesk
