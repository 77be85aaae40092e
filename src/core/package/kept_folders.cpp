#include "package/kept_folders.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "base/file_hash.h"
#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/folder_sizes.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "base/sha256.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/content_verify.h"
#include "package/copy_reuse.h"
#include "package/earlier_package.h"
#include "package/package_layout.h"
#include "package/package_members.h"
#include "package/written_tree.h"

namespace vesk {

namespace {

std::string withSeparator(std::string folder) {
  if (folder.empty() || !isPathSeparator(folder.back())) folder += kPathSeparator;
  return folder;
}

// The first component of a planned target ("03" of "03\m\mesh.obj").
std::string topOf(const std::string& target) {
  return target.substr(0, target.find(kPathSeparator));
}

// The new record of the planned copy `item`, whose source is now `source`, when the
// earlier package's file at `at` (relative to the package), now `copy`, may stand for
// it (see keptEntryFolders); nothing otherwise.
std::optional<RecordedFile> keptCopy(const PlannedItem& item,
                                     const std::optional<FileStamp>& source, const std::string& at,
                                     const FileStamp& copy, const EarlierRecord& record) {
  const auto found = record.files.find(recordedPackagePath(at));
  if (found == record.files.end() || !source) return std::nullopt;
  if (source->size != item.size || source->modified != item.modified) return std::nullopt;
  const RecordedFile& recorded = found->second;
  if (!ownCopyUnchanged(recorded, copy, record.time)) return std::nullopt;
  // The same source: the same path too, as a file's number may pass to another file
  // where the file system numbers its files anew at each mount.
  const bool itself = source->device == copy.device && source->file == copy.file;
  if (!itself &&
      (recorded.source != item.source || !sourceUnchanged(recorded, *source, record.time)))
    return std::nullopt;
  RecordedFile file = recorded;
  file.path = recordedPackagePath(item.target);
  file.source = item.source;
  return file;
}

// The new entry folder `name`: what the plan makes in it, and its sources as they are now.
struct NewFolder {
  std::string name;
  std::vector<const PlannedItem*> items;
  std::vector<std::optional<FileStamp>> sources;  // of each item; nothing for a folder
};

// Where the planned `target` of `folder` lies in the earlier entry folder `from`.
std::string placeIn(const std::string& target, const NewFolder& folder, const std::string& from) {
  return from + target.substr(folder.name.size());
}

// True when the copy record lets the earlier folder `from` hold what `folder` plans:
// each file recorded there with the planned size, from the same source. Looks at
// nothing on disk: it only spares the full look of keptAs.
bool mayHold(const NewFolder& folder, const std::string& from, const EarlierRecord& record) {
  for (std::size_t i = 0; i < folder.items.size(); ++i) {
    const PlannedItem& item = *folder.items[i];
    if (item.step != PlannedItem::Step::CopyFile) continue;
    const std::string at = placeIn(item.target, folder, from);
    const auto found = record.files.find(recordedPackagePath(at));
    if (found == record.files.end() || !folder.sources[i]) return false;
    const RecordedFile& recorded = found->second;
    const bool sameSource = recorded.sourceDevice == folder.sources[i]->device &&
                            recorded.sourceFile == folder.sources[i]->file;
    if (recorded.size != item.size || (!sameSource && item.source != record.folder + at)) {
      return false;
    }
  }
  return true;
}

// `folder` as the earlier entry folder `from`, listed as `tree`, holds it, when it holds
// exactly what the plan makes there, every file still as recorded; nothing otherwise.
std::optional<KeptFolder> keptAs(const NewFolder& folder, const std::string& from,
                                 const ListedFolder& tree, const EarlierRecord& record) {
  if (!tree.irregular.empty() || !tree.unreadable.empty()) return std::nullopt;
  std::set<std::string> plannedFolders{from};
  KeptFolder kept{folder.name, from, {}};
  std::size_t plannedFiles = 0;
  for (std::size_t i = 0; i < folder.items.size(); ++i) {
    const PlannedItem& item = *folder.items[i];
    const std::string at = placeIn(item.target, folder, from);
    if (item.step == PlannedItem::Step::MakeFolder) {
      plannedFolders.insert(at);
      continue;
    }
    ++plannedFiles;
    const auto copy = tree.files.find(at);
    if (copy == tree.files.end()) return std::nullopt;
    const auto file = keptCopy(item, folder.sources[i], at, copy->second, record);
    if (!file) return std::nullopt;
    kept.files.push_back(*file);
  }
  // Every planned file was found at its place; nothing else may be there.
  if (tree.files.size() != plannedFiles || tree.folders != plannedFolders) return std::nullopt;
  return kept;
}

// The source of the planned copy `item` as it is now, as `sources` tells how to learn it.
std::optional<FileStamp> sourceNow(const PlannedItem& item, SourceLook sources) {
  const bool readByPlan = item.role == PlannedRole::Scene || item.role == PlannedRole::Thumbnail ||
                          item.role == PlannedRole::Description;
  if (sources == SourceLook::FromFreshPlan && !readByPlan && (item.device != 0 || item.file != 0)) {
    return FileStamp{item.device, item.file, item.size, item.modified, item.changed};
  }
  return fileStampOf(item.source, Links::Follow);
}

PackageProblem problemAt(PackageFault fault, const char* text, const std::string& path) {
  return {fault, fillTemplate(text, {{"path", path}})};
}

// Each kept folder listed now, by its name in the new package.
using KeptListings = std::map<std::string, ListedFolder>;

KeptListings listKeptFolders(const std::string& package, const std::vector<KeptFolder>& kept) {
  KeptListings listings;
  for (const KeptFolder& folder : kept)
    listings.emplace(folder.name, listPackageFolder(package, folder.from));
  return listings;
}

// Lists the kept folders in `package` that no other thread has taken yet, taking each
// by its index from `next`, into `listed` (of one place per kept folder).
void listUntaken(const std::string& package, const std::vector<KeptFolder>& kept,
                 std::atomic<std::size_t>& next, std::vector<ListedFolder>& listed) {
  for (std::size_t i = next++; i < kept.size(); i = next++) {
    listed[i] = listPackageFolder(package, kept[i].from);
  }
}

// keptFolderProblems from the listings of the kept folders made now.
std::vector<PackageProblem> problemsIn(const std::string& package,
                                       const std::vector<KeptFolder>& kept,
                                       const KeptListings& listings) {
  std::vector<PackageProblem> problems;
  for (const KeptFolder& folder : kept) {
    const ListedFolder& tree = listings.at(folder.name);
    std::set<std::string> listed;
    for (const RecordedFile& file : folder.files) {
      const std::string at = folder.from + nativePackagePath(file.path).substr(folder.name.size());
      const std::string path = package + at;
      listed.insert(at);
      const auto found = tree.files.find(at);
      // Not among the files listed: gone, no regular file, or in a folder not listed.
      const std::optional<FileStamp> stamp = found != tree.files.end()
                                                 ? std::optional<FileStamp>(found->second)
                                                 : fileStampOf(path, Links::DoNotFollow);
      if (!stamp) {
        problems.push_back(problemAt(PackageFault::ContentMissing, kVerifyListedMissing, path));
      } else if (stamp->size != file.size) {
        problems.push_back({PackageFault::ContentChanged,
                            fillTemplate(kVerifySizeWrong, {{"expected", std::to_string(file.size)},
                                                            {"actual", std::to_string(stamp->size)},
                                                            {"path", path}})});
      } else if (!copyAsRecorded(file, *stamp)) {
        // Touched since it was kept: only its bytes can tell.
        const auto hash = hashFile(path);
        if (!hash || hexText(hash->digest) != file.hex) {
          problems.push_back(problemAt(PackageFault::ContentChanged, kVerifyHashWrong, path));
        }
      }
    }
    for (const std::string& unreadable : tree.unreadable) {
      problems.push_back(
          problemAt(PackageFault::ContentMissing, kVerifyFolderUnreadable, package + unreadable));
    }
    for (const std::string& irregular : tree.irregular) {
      problems.push_back(
          problemAt(PackageFault::ContentIrregular, kVerifyIrregularFile, package + irregular));
    }
    for (const auto& [at, stamp] : tree.files) {
      if (listed.count(at) == 0) {
        problems.push_back(problemAt(PackageFault::ContentUnlisted, kVerifyUnlisted, package + at));
      }
    }
  }
  return problems;
}

// The members of a package built in `packageFolder` whose kept entry folders lie in
// `keptIn` (both ending with a separator): a kept member's kind and the scenes of a
// kept folder from its listing (a path the listing does not show, or a link, looked at
// where it lies), a kept picture's size from `pictures` (else probed where it lies).
// `listings` and `pictures` must outlive the view.
PackageView keptPackageView(const std::string& packageFolder, const std::string& keptIn,
                            const std::vector<KeptFolder>& kept, const KeptListings& listings,
                            const std::map<std::string, std::optional<PictureSize>>& pictures) {
  std::map<std::string, std::string> from;
  for (const KeptFolder& folder : kept) from.emplace(folder.name, folder.from);
  const PackageView built = diskPackageView(packageFolder);
  const PackageView there = diskPackageView(keptIn);
  // The kept folder a member lies in, and its path where it lies now; none for a member
  // built here.
  struct Place {
    const ListedFolder* tree = nullptr;
    std::string path;
  };
  const auto placeOf = [from, &listings](const std::string& relative) {
    const std::string top = topOf(relative);
    const auto found = from.find(top);
    if (found == from.end()) return Place{};
    return Place{&listings.at(top), found->second + relative.substr(top.size())};
  };
  PackageView view;
  view.kindOf = [=](const std::string& relative) {
    const Place place = placeOf(relative);
    if (place.tree == nullptr) return built.kindOf(relative);
    if (place.tree->files.count(place.path) != 0) return FileKind::Regular;
    if (place.tree->folders.count(place.path) != 0) return FileKind::Directory;
    return there.kindOf(place.path);
  };
  view.pictureSize = [=, &pictures](const std::string& relative) {
    const Place place = placeOf(relative);
    if (place.tree == nullptr) return built.pictureSize(relative);
    const auto planned = pictures.find(relative);
    return planned != pictures.end() ? planned->second : there.pictureSize(place.path);
  };
  view.holdsScene = [=](const std::string& entryFolder) {
    const Place place = placeOf(entryFolder);
    if (place.tree == nullptr) return built.holdsScene(entryFolder);
    const std::string prefix = place.path + kPathSeparator;
    for (auto it = place.tree->files.lower_bound(prefix);
         it != place.tree->files.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
      if (it->first.find(kPathSeparator, prefix.size()) == std::string::npos &&
          lowerAscii(extensionOf(it->first)) == ".nuv") {
        return true;
      }
    }
    return there.holdsScene(place.path);
  };
  return view;
}

}  // namespace

std::vector<KeptFolder> keptEntryFolders(const PackagePlan& plan, const std::string& destination) {
  EarlierPackage earlier = lookAtEarlierPackage(destination);
  return keptEntryFolders(plan, earlier);
}

std::vector<KeptFolder> keptEntryFolders(const PackagePlan& plan, const EarlierPackage& earlier,
                                         SourceLook sources) {
  // Only a package with its record and its document (the swap tells a moved folder by
  // it): then every earlier entry folder was listed.
  if (!earlier.record || earlier.entryFolders.empty()) return {};
  const EarlierRecord& record = *earlier.record;
  std::map<std::string, NewFolder> byName;
  for (const PlannedItem& item : plan.items) {
    const std::string top = topOf(item.target);
    if (!isEntryFolderName(top)) continue;
    NewFolder& folder = byName[top];
    folder.name = top;
    folder.items.push_back(&item);
    folder.sources.push_back(item.step == PlannedItem::Step::CopyFile ? sourceNow(item, sources)
                                                                      : std::nullopt);
  }
  // The earlier entry folders not yet taken: each stands for one new folder at most.
  std::set<std::string> free;
  for (const auto& [name, listed] : earlier.entryFolders) free.insert(name);
  std::vector<KeptFolder> kept;
  std::vector<const NewFolder*> unmatched;
  for (const auto& [name, folder] : byName) {
    const auto listed = earlier.entryFolders.find(name);
    auto same = free.count(name) != 0 ? keptAs(folder, name, listed->second, record) : std::nullopt;
    if (same) {
      free.erase(name);
      kept.push_back(std::move(*same));
    } else {
      unmatched.push_back(&folder);
    }
  }
  // An entry that moved to another number: its earlier folder is renamed, whole.
  for (const NewFolder* folder : unmatched) {
    for (const std::string& from : free) {
      if (!mayHold(*folder, from, record)) continue;
      if (auto moved = keptAs(*folder, from, earlier.entryFolders.at(from), record)) {
        free.erase(from);
        kept.push_back(std::move(*moved));
        break;
      }
    }
  }
  std::sort(kept.begin(), kept.end(),
            [](const KeptFolder& a, const KeptFolder& b) { return a.name < b.name; });
  return kept;
}

PackagePlan withoutKeptFolders(PackagePlan plan, const std::vector<KeptFolder>& kept) {
  const std::vector<std::string> names = keptFolderNames(kept);
  std::vector<PlannedItem> items;
  items.reserve(plan.items.size());
  for (PlannedItem& item : plan.items) {
    if (!std::binary_search(names.begin(), names.end(), topOf(item.target))) {
      items.push_back(std::move(item));
    } else if (item.step == PlannedItem::Step::CopyFile) {
      plan.filesToCopy -= std::min<std::uint64_t>(plan.filesToCopy, 1);
      plan.bytesToCopy -= std::min(plan.bytesToCopy, item.size);
    }
  }
  plan.items = std::move(items);
  return plan;
}

std::vector<std::string> keptFolderNames(const std::vector<KeptFolder>& kept) {
  std::vector<std::string> names;
  for (const KeptFolder& folder : kept) names.push_back(folder.name);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<PackageProblem> keptFolderProblems(const std::string& destination,
                                               const std::vector<KeptFolder>& kept) {
  const std::string package = withSeparator(destination);
  return problemsIn(package, kept, listKeptFolders(package, kept));
}

std::map<std::string, std::string> keptFolderPlaces(const std::vector<KeptFolder>& kept,
                                                    const std::string& keptIn) {
  std::map<std::string, std::string> places;
  for (const KeptFolder& folder : kept) {
    places.emplace(folder.name, joinPath(keptIn, folder.from) + kPathSeparator);
  }
  return places;
}

std::map<std::string, std::optional<PictureSize>> plannedPictureSizes(const PackagePlan& plan) {
  std::map<std::string, std::optional<PictureSize>> sizes;
  for (const PlannedDocumentEntry& entry : plan.documentEntries) {
    for (const DocumentPicture* picture : {&entry.facts.thumbnail, &entry.facts.description}) {
      if (picture->path.compare(0, plan.destination.size(), plan.destination) != 0) continue;
      std::optional<PictureSize> size;
      if (picture->width != 0 || picture->height != 0) {
        size = PictureSize{picture->width, picture->height};
      }
      sizes.emplace(picture->path.substr(plan.destination.size()), size);
    }
  }
  return sizes;
}

std::vector<PackageProblem> verifyWrittenWithKeptFolders(
    const WrittenDocument& document, const std::vector<RecordedFile>& files,
    const std::string& keptIn, const std::vector<KeptFolder>& kept,
    const std::map<std::string, std::optional<PictureSize>>& plannedPictures) {
  const std::string folder = folderOf(document.path);
  const std::string there = withSeparator(keptIn);
  // The kept folders are listed on a thread of their own while the files built are
  // checked, and then on this one too, each folder by whichever takes it first; the
  // listing is made now, after the build, either way.
  std::vector<ListedFolder> listed(kept.size());
  std::atomic<std::size_t> next{0};
  std::future<void> helper;
  try {
    helper = std::async(std::launch::async, [&] { listUntaken(there, kept, next, listed); });
  } catch (const std::system_error&) {
    // No thread to be had: all of them listed on this one.
  }
  std::vector<PackageProblem> built =
      verifyWrittenContent(walkWrittenPackage(folder), files, keptFolderNames(kept)).problems;
  listUntaken(there, kept, next, listed);
  if (helper.valid()) helper.get();
  KeptListings listings;
  for (std::size_t i = 0; i < kept.size(); ++i)
    listings.emplace(kept[i].name, std::move(listed[i]));
  std::vector<PackageProblem> problems = verifyDocumentOutline(
      document.outline, keptPackageView(folder, there, kept, listings, plannedPictures),
      document.path);
  for (auto& found : built) problems.push_back(std::move(found));
  for (auto& found : problemsIn(there, kept, listings)) problems.push_back(std::move(found));
  return problems;
}

}  // namespace vesk
