#include "package/package_builder.h"

#include <map>
#include <utility>
#include "messages/messages.h"

#include "base/file_system.h"
#include "base/path_terms.h"
#include "format/two_digits.h"
#include "package/build_command.h"
#include "package/folder_listing.h"
#include "package/package_copier.h"

namespace vesk {

namespace {

std::string withTrailingSeparator(std::string folder) {
  if (folder.empty() || !isPathSeparator(folder.back())) folder += kPathSeparator;
  return folder;
}

// True when a path relative to the scene folder could lead out of it: an absolute
// path or one with a ".." component.
bool leavesFolder(const std::string& relative) {
  if (relative.empty() || isPathSeparator(relative.front())) return true;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = start;
    while (end < relative.size() && !isPathSeparator(relative[end])) ++end;
    if (relative.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

// Where a data item goes inside the entry folder: its path below the scene folder when
// it lies there (so that the document's "NN\sub\file" finds it), otherwise its last
// component.
std::string placeInEntryFolder(const std::string& item, const std::string& sceneFolder) {
  if (!sceneFolder.empty() && item.size() > sceneFolder.size() &&
      item.compare(0, sceneFolder.size(), sceneFolder) == 0) {
    std::string relative = item.substr(sceneFolder.size());
    if (!leavesFolder(relative)) return relative;
  }
  return fileNameOf(item);
}

// Creates the folders that lead to the last component of `relative` below `base`;
// folders that exist already are fine.
bool createParentFolders(const std::string& base, const std::string& relative) {
  for (std::size_t i = 1; i + 1 < relative.size(); ++i) {
    if (!isPathSeparator(relative[i]) || isPathSeparator(relative[i - 1])) continue;
    const std::string folder = base + relative.substr(0, i);
    if (!isDirectory(folder) && !createDirectory(folder)) return false;
  }
  return true;
}

// The files that lie directly in a folder, in sorted order.
std::vector<std::string> filesIn(const std::string& folder) {
  std::vector<std::string> listing;
  listFolderFiles(folder + "*", listing);
  std::vector<std::string> files;
  for (auto& path : listing) {
    if (!isDirectory(path)) files.push_back(std::move(path));
  }
  return files;
}

bool isDataFolder(const std::string& item) {
  return extensionOf(item).empty();
}

// The files of each data folder, listed once for the totals and again used for the copy.
using FolderListings = std::map<std::string, std::vector<std::string>>;

// Announces the bytes and files a whole run will copy, for progress reporting, and
// returns the data folders' listings it made on the way.
FolderListings announceTotals(const std::vector<ExhibitionEntry>& entries,
                              const std::string& programFolder, PackageCopier& copier) {
  FolderListings listings;
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;
  const auto add = [&](const std::string& path) {
    bytes += fileSize(path).value_or(0);
    ++files;
  };
  for (const auto& entry : entries) {
    add(entry.scenePath);
    add(entry.thumbnailPath);
    add(entry.descriptionPath);
    for (const auto& item : entry.dataFiles) {
      if (!isDataFolder(item)) {
        add(item);
      } else {
        const std::string folder = withTrailingSeparator(item);
        auto [listing, added] = listings.try_emplace(folder);
        if (added) listing->second = filesIn(folder);
        for (const auto& file : listing->second) add(file);
      }
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
  bool copyEntry(int number, ExhibitionEntry& packaged, const std::string& destination) {
    const std::string nn = twoDigits(number) + kPathSeparator;
    const std::string entryFolder = destination + nn;
    if (!createDirectory(entryFolder)) return fail(nn + kFolderCreationFailed);

    const std::string sceneFolder = folderOf(packaged.scenePath);
    if (!copyInto(entryFolder, packaged.scenePath, kSceneCopyFailed)) return false;
    if (!copyInto(entryFolder, packaged.thumbnailPath, kThumbnailCopyFailed)) return false;
    if (!copyInto(entryFolder, packaged.descriptionPath, kDescriptionCopyFailed)) return false;

    for (auto& item : packaged.dataFiles) {
      if (!copyDataItem(entryFolder, sceneFolder, item)) return false;
    }
    return true;
  }

  bool copyButton(const std::string& programFolder, const std::string& destination,
                  const char* name, const char* failure) {
    if (cancelled()) return false;
    if (!copier_.copy(withTrailingSeparator(programFolder) + name, destination + name)) {
      return fail(failure);
    }
    return true;
  }

  bool problems() const { return problems_; }

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

  // Copies `path` into the entry folder under its own name and points it at the copy.
  bool copyInto(const std::string& entryFolder, std::string& path, const char* failure) {
    if (cancelled()) return false;
    const std::string source = path;
    path = entryFolder + fileNameOf(source);
    return copier_.copy(source, path) || fail(failure);
  }

  bool copyDataItem(const std::string& entryFolder, const std::string& sceneFolder,
                    std::string& item) {
    if (cancelled()) return false;
    const std::string source = isDataFolder(item) ? withTrailingSeparator(item) : item;
    const std::string place = placeInEntryFolder(source, sceneFolder);
    const std::string name = fileNameOf(source);
    item = entryFolder + place;

    if (!isDataFolder(source)) {
      if (!createParentFolders(entryFolder, place) || !copier_.copy(source, item)) {
        return fail(name + kDataCopyFailed);
      }
      return true;
    }
    const std::string folder = item.substr(0, item.size() - 1);
    if (!createParentFolders(entryFolder, place) || !createDirectory(folder)) {
      return fail(name + kFolderCreationFailed);
    }
    const auto listing = listings_.find(source);
    const auto result = listing != listings_.end()
                            ? copyListedFiles(listing->second, item, copier_, sink_)
                            : copyFolderFiles(source, item, copier_, sink_);
    switch (result) {
      case FolderCopyResult::Copied:
        return true;
      case FolderCopyResult::Failed:
        problems_ = true;
        return true;
      case FolderCopyResult::Cancelled:
        sink_.showMessage(errorMessage(kCancelledMessage));
        return false;
    }
    return true;
  }

  PackageCopier& copier_;
  MessageSink& sink_;
  FolderListings listings_;
  bool problems_ = false;
};

}  // namespace

FolderCopyResult copyFolderFiles(const std::string& sourceFolder, const std::string& targetFolder,
                                 PackageCopier& copier, MessageSink& sink) {
  return copyListedFiles(filesIn(sourceFolder), targetFolder, copier, sink);
}

FolderCopyResult copyListedFiles(const std::vector<std::string>& files,
                                 const std::string& targetFolder, PackageCopier& copier,
                                 MessageSink& sink) {
  for (const auto& file : files) {
    if (copier.cancelRequested()) return FolderCopyResult::Cancelled;
    if (!copier.copy(file, targetFolder + fileNameOf(file))) {
      sink.showMessage(errorMessage(kFolderDataCopyFailed));
      return FolderCopyResult::Failed;
    }
  }
  return FolderCopyResult::Copied;
}

PackageOutcome buildPackageFolders(std::vector<ExhibitionEntry> entries,
                                   std::vector<ExhibitionEntry>& packagedEntries,
                                   const std::string& destinationFolder,
                                   const std::string& programFolder, MessageSink& sink,
                                   BuildProgress* progress) {
  packagedEntries = entries;
  PackageCopier copier(progress);
  PackageRun run(copier, sink, announceTotals(entries, programFolder, copier));

  PackageOutcome outcome;
  const auto finish = [&](bool stopped) {
    outcome.stopped = stopped;
    outcome.problems = run.problems();
    outcome.filesCopied = copier.filesCopied();
    outcome.bytesCopied = copier.bytesCopied();
    return outcome;
  };
  for (std::size_t p = 0; p < packagedEntries.size(); ++p) {
    if (!run.copyEntry(static_cast<int>(p), packagedEntries[p], destinationFolder)) {
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
