#include "package/kept_folders.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "base/file_hash.h"
#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "base/sha256.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/content_verify.h"
#include "package/copy_reuse.h"
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

// A planned target as the copy record names it, with "/".
std::string recordPath(std::string target) {
  for (char& c : target) {
    if (c == kPathSeparator) c = '/';
  }
  return target;
}

// A record path with the platform's separators.
std::string nativePath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = kPathSeparator;
  }
  return path;
}

// The files and folders below `folder`, by their paths relative to the package
// (`relative` is the folder's own). False at a link, anything but a file or folder, or
// a folder that cannot be listed: what such a folder holds is not known.
bool listTree(const std::string& folder, const std::string& relative, std::set<std::string>& files,
              std::set<std::string>& folders) {
  const Result<std::vector<FolderEntry>> entries = listFolder(folder);
  if (!entries) return false;
  for (const FolderEntry& entry : *entries) {
    const std::string path = relative + kPathSeparator + entry.name;
    if (entry.type == EntryType::File) {
      files.insert(path);
    } else if (entry.type == EntryType::Folder) {
      folders.insert(path);
      if (!listTree(joinPath(folder, entry.name), path, files, folders)) return false;
    } else {
      return false;
    }
  }
  return true;
}

// The earlier package's copy record, by path, and the time it was written.
struct EarlierRecord {
  std::int64_t time = 0;
  std::map<std::string, RecordedFile> files;
};

std::optional<EarlierRecord> readEarlierRecord(const std::string& package) {
  const std::string path = package + kCopyRecordName;
  const auto stamp = fileStampOf(path, Links::DoNotFollow);
  if (!stamp) return std::nullopt;
  const auto text = readFile(path);
  if (!text) return std::nullopt;
  const auto files = readCopyRecordText(*text);
  if (!files) return std::nullopt;
  EarlierRecord record;
  record.time = stamp->modified;
  for (const RecordedFile& file : *files) record.files.emplace(file.path, file);
  return record;
}

// The new record of the planned copy `item`, whose source is now `source`, when the
// earlier package's file at `at` (relative to `package`) may stand for it (see
// keptEntryFolders); nothing otherwise.
std::optional<RecordedFile> keptCopy(const PlannedItem& item,
                                     const std::optional<FileStamp>& source, const std::string& at,
                                     const std::string& package, const EarlierRecord& record) {
  const auto found = record.files.find(recordPath(at));
  if (found == record.files.end() || !source) return std::nullopt;
  if (source->size != item.size || source->modified != item.modified) return std::nullopt;
  const RecordedFile& recorded = found->second;
  const auto copy = fileStampOf(package + at, Links::DoNotFollow);
  if (!copy || !ownCopyUnchanged(recorded, *copy, record.time)) return std::nullopt;
  const bool itself = source->device == copy->device && source->file == copy->file;
  if (!itself && !sourceUnchanged(recorded, *source, record.time)) return std::nullopt;
  RecordedFile file = recorded;
  file.path = recordPath(item.target);
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
// nothing on disk: it only spares the full look of foldersAsKept.
bool mayHold(const NewFolder& folder, const std::string& from, const std::string& package,
             const EarlierRecord& record) {
  for (std::size_t i = 0; i < folder.items.size(); ++i) {
    const PlannedItem& item = *folder.items[i];
    if (item.step != PlannedItem::Step::CopyFile) continue;
    const std::string at = placeIn(item.target, folder, from);
    const auto found = record.files.find(recordPath(at));
    if (found == record.files.end() || !folder.sources[i]) return false;
    const RecordedFile& recorded = found->second;
    const bool sameSource = recorded.sourceDevice == folder.sources[i]->device &&
                            recorded.sourceFile == folder.sources[i]->file;
    if (recorded.size != item.size || (!sameSource && item.source != package + at)) return false;
  }
  return true;
}

// `folder` as the earlier entry folder `from` holds it, when it holds exactly what the
// plan makes there, every file still as recorded; nothing otherwise.
std::optional<KeptFolder> keptAs(const NewFolder& folder, const std::string& from,
                                 const std::string& package, const EarlierRecord& record) {
  std::set<std::string> files;
  std::set<std::string> folders;
  if (!listTree(package + from, from, files, folders)) return std::nullopt;
  std::set<std::string> plannedFiles;
  std::set<std::string> plannedFolders;
  KeptFolder kept{folder.name, from, {}};
  for (std::size_t i = 0; i < folder.items.size(); ++i) {
    const PlannedItem& item = *folder.items[i];
    const std::string at = placeIn(item.target, folder, from);
    if (item.step == PlannedItem::Step::MakeFolder) {
      if (item.target != folder.name) plannedFolders.insert(at);
      continue;
    }
    plannedFiles.insert(at);
    const auto file = keptCopy(item, folder.sources[i], at, package, record);
    if (!file) return std::nullopt;
    kept.files.push_back(*file);
  }
  if (files != plannedFiles || folders != plannedFolders) return std::nullopt;
  return kept;
}

PackageProblem problemAt(PackageFault fault, const char* text, const std::string& path) {
  return {fault, fillTemplate(text, {{"path", path}})};
}

// Adds what is wrong below one kept folder: what is not a listed regular file.
void unlistedBelow(const std::string& folder, const std::set<std::string>& listed,
                   std::vector<PackageProblem>& problems) {
  const Result<std::vector<FolderEntry>> entries = listFolder(folder);
  if (!entries) {
    problems.push_back(problemAt(PackageFault::ContentMissing, kVerifyFolderUnreadable, folder));
    return;
  }
  for (const FolderEntry& entry : *entries) {
    const std::string path = joinPath(folder, entry.name);
    if (entry.type == EntryType::Folder) {
      unlistedBelow(path, listed, problems);
    } else if (entry.type != EntryType::File) {
      problems.push_back(problemAt(PackageFault::ContentIrregular, kVerifyIrregularFile, path));
    } else if (listed.count(path) == 0) {
      problems.push_back(problemAt(PackageFault::ContentUnlisted, kVerifyUnlisted, path));
    }
  }
}

}  // namespace

std::vector<KeptFolder> keptEntryFolders(const PackagePlan& plan, const std::string& destination) {
  const std::string package = withSeparator(destination);
  const auto record = readEarlierRecord(package);
  if (!record) return {};
  std::map<std::string, NewFolder> byName;
  for (const PlannedItem& item : plan.items) {
    const std::string top = topOf(item.target);
    if (!isEntryFolderName(top)) continue;
    NewFolder& folder = byName[top];
    folder.name = top;
    folder.items.push_back(&item);
    folder.sources.push_back(item.step == PlannedItem::Step::CopyFile
                                 ? fileStampOf(item.source, Links::Follow)
                                 : std::nullopt);
  }
  // The earlier entry folders not yet taken: each stands for one new folder at most.
  // Only a package with its document: the swap tells a moved folder by it.
  const std::vector<std::string> members = packageMembers(destination);
  if (!std::binary_search(members.begin(), members.end(), std::string(kDocumentName))) return {};
  std::set<std::string> free;
  for (const auto& name : members) {
    if (isEntryFolderName(name)) free.insert(name);
  }
  std::vector<KeptFolder> kept;
  std::vector<const NewFolder*> unmatched;
  for (const auto& [name, folder] : byName) {
    auto same = free.count(name) != 0 ? keptAs(folder, name, package, *record) : std::nullopt;
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
      if (!mayHold(*folder, from, package, *record)) continue;
      if (auto moved = keptAs(*folder, from, package, *record)) {
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
  std::vector<PackageProblem> problems;
  for (const KeptFolder& folder : kept) {
    std::set<std::string> listed;
    for (const RecordedFile& file : folder.files) {
      const std::string path =
          package + folder.from + nativePath(file.path).substr(folder.name.size());
      listed.insert(path);
      const auto stamp = fileStampOf(path, Links::DoNotFollow);
      if (!stamp) {
        problems.push_back(problemAt(PackageFault::ContentMissing, kVerifyListedMissing, path));
      } else if (stamp->size != file.size) {
        problems.push_back({PackageFault::ContentChanged,
                            fillTemplate(kVerifySizeWrong, {{"expected", std::to_string(file.size)},
                                                            {"actual", std::to_string(stamp->size)},
                                                            {"path", path}})});
      } else if (stamp->modified != file.modified) {
        // Touched since it was kept: only its bytes can tell.
        const auto hash = hashFile(path);
        if (!hash || hexText(hash->digest) != file.hex) {
          problems.push_back(problemAt(PackageFault::ContentChanged, kVerifyHashWrong, path));
        }
      }
    }
    unlistedBelow(package + folder.from, listed, problems);
  }
  return problems;
}

PackageView keptPackageView(const std::string& packageFolder, const std::string& keptIn,
                            const std::vector<KeptFolder>& kept) {
  std::map<std::string, std::string> from;
  for (const KeptFolder& folder : kept) from.emplace(folder.name, folder.from);
  const PackageView built = diskPackageView(packageFolder);
  const PackageView there = diskPackageView(keptIn);
  // The path of a kept member where it lies now; empty for a member built here.
  const auto keptPath = [from](const std::string& relative) -> std::string {
    const std::string top = topOf(relative);
    const auto found = from.find(top);
    return found == from.end() ? std::string() : found->second + relative.substr(top.size());
  };
  PackageView view;
  view.kindOf = [=](const std::string& relative) {
    const std::string path = keptPath(relative);
    return path.empty() ? built.kindOf(relative) : there.kindOf(path);
  };
  view.pictureSize = [=](const std::string& relative) {
    const std::string path = keptPath(relative);
    return path.empty() ? built.pictureSize(relative) : there.pictureSize(path);
  };
  view.holdsScene = [=](const std::string& entryFolder) {
    const std::string path = keptPath(entryFolder);
    return path.empty() ? built.holdsScene(entryFolder) : there.holdsScene(path);
  };
  return view;
}

std::map<std::string, std::string> keptFolderPlaces(const std::vector<KeptFolder>& kept,
                                                    const std::string& keptIn) {
  std::map<std::string, std::string> places;
  for (const KeptFolder& folder : kept) {
    places.emplace(folder.name, joinPath(keptIn, folder.from) + kPathSeparator);
  }
  return places;
}

std::vector<PackageProblem> verifyWrittenWithKeptFolders(const WrittenDocument& document,
                                                         const std::vector<RecordedFile>& files,
                                                         const std::string& keptIn,
                                                         const std::vector<KeptFolder>& kept) {
  const std::string folder = folderOf(document.path);
  const std::string there = withSeparator(keptIn);
  std::vector<PackageProblem> problems =
      verifyDocumentOutline(document.outline, keptPackageView(folder, there, kept), document.path);
  for (auto& found :
       verifyWrittenContent(walkWrittenPackage(folder), files, keptFolderNames(kept)).problems) {
    problems.push_back(std::move(found));
  }
  for (auto& found : keptFolderProblems(there, kept)) problems.push_back(std::move(found));
  return problems;
}

}  // namespace vesk
