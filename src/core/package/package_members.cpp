#include "package/package_members.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "format/document_outline.h"
#include "format/package_manifest.h"
#include "format/two_digits.h"
#include "messages/report_texts.h"
#include "package/document_file_outline.h"
#include "package/package_layout.h"
#include "package/report_page.h"

namespace vesk {

namespace {

// What is at the path itself, a link not followed; nothing when it cannot be learnt
// (or the path is empty: nothing is there).
std::optional<EntryType> ownKind(const std::string& path) {
  if (path.empty()) return std::nullopt;
  const Result<EntryType> type = entryTypeOf(path);
  if (!type) return std::nullopt;
  return *type;
}

// Nothing at all is at the path (a path that cannot be looked at counts as taken; an
// empty one holds nothing).
bool absent(const std::string& path) {
  if (path.empty()) return true;
  const Result<EntryType> type = entryTypeOf(path);
  return !type && type.failure().code == FailureCode::NotFound;
}

// What the document names: each data path as components ("03", "m", "mesh.obj"), and
// its entry count. The document is read in pieces, as verify reads it: a package's
// document may run to hundreds of MiB, and is never held whole.
DocumentNames::Read readNames(const std::string& documentPath) {
  DocumentNames::Read read;
  const Result<DocumentOutline> outlined = outlineDocumentFile(documentPath);
  if (!outlined || !outlined->wellFormed) return read;
  const DocumentOutline& outline = *outlined;
  std::set<std::string> names;
  for (const auto& element : outline.data) {
    names.insert(element.name);
    for (const auto& value : element.paths) {
      std::vector<std::string> components(1);
      for (const char c : value) {
        if (c == '\\' || c == '/') {
          if (!components.back().empty()) components.emplace_back();
        } else {
          components.back() += c;
        }
      }
      if (components.back().empty()) components.pop_back();
      read.paths.push_back(std::move(components));
    }
  }
  // Each entry has its thumbnail element "meNN".
  read.entries = 0;
  while (read.entries < 99 && names.count("me" + twoDigits(read.entries)) != 0) ++read.entries;
  return read;
}

// The reading of `documentPath`, through `names` when given; nothing when no regular
// file is there.
std::shared_ptr<const DocumentNames::Read> namesOf(const std::string& documentPath,
                                                   DocumentNames* names) {
  if (ownKind(documentPath) != EntryType::File) return nullptr;
  if (names != nullptr) return names->of(documentPath);
  return std::make_shared<const DocumentNames::Read>(readNames(documentPath));
}

// The relative path of `components` with "/" between them, as a manifest writes it.
std::string manifestPathOf(const std::vector<std::string>& components) {
  std::string path;
  for (const auto& component : components) {
    if (!path.empty()) path += '/';
    path += component;
  }
  return path;
}

// Adds to `found` every file and folder below `folder` (given relative to the package as
// `relative`) that the earlier package does not account for. By its document: a named
// path accounts for itself and everything below it, and, when the document was read
// (`scenes`), a scene file (.nuv) at the top of an entry folder is its own. With its
// manifest (`listed`, may be null), only what the manifest lists of that is its own,
// and a folder only where the document names it or a path below it (Vesk makes a
// named data folder also where it is empty), looked into: an operator's file in a
// data folder, or another .nuv beside the scene, is not. A folder that cannot be
// listed is itself unaccounted for: what it holds is unknown. `named` holds only the
// paths below the entry folder `relative` starts with.
void unaccounted(const std::string& folder, const std::vector<std::string>& relative,
                 const std::vector<const std::vector<std::string>*>& named, bool scenes,
                 const std::set<std::string>* listed, std::vector<std::string>& found) {
  const Result<std::vector<FolderEntry>> entries = listFolder(folder);
  if (!entries) {
    found.push_back(folder);
    return;
  }
  for (const FolderEntry& entry : *entries) {
    std::vector<std::string> path = relative;
    path.push_back(entry.name);
    const std::string full = joinPath(folder, path.back());
    bool whole = false;   // named itself or below a named folder
    bool partly = false;  // a folder holding something named
    for (const std::vector<std::string>* value : named) {
      if (value->size() <= path.size() && std::equal(value->begin(), value->end(), path.begin())) {
        whole = true;
        break;
      }
      if (value->size() > path.size() && std::equal(path.begin(), path.end(), value->begin())) {
        partly = true;
      }
    }
    const bool scene = scenes && path.size() == 2 && entry.type == EntryType::File &&
                       toFsPath(path.back()).extension() == ".nuv";
    if (listed != nullptr) {
      // The manifest narrows what the document accounts for to what Vesk wrote.
      const std::string at = manifestPathOf(path);
      if (entry.type == EntryType::File && (whole || scene) && listed->count(at) != 0) continue;
      if (entry.type == EntryType::Folder && (whole || partly)) {
        unaccounted(full, path, named, scenes, listed, found);
      } else {
        found.push_back(full);
      }
      continue;
    }
    if (whole || scene) continue;
    if (partly && entry.type == EntryType::Folder) {
      unaccounted(full, path, named, scenes, listed, found);
    } else {
      found.push_back(full);
    }
  }
}

// Where the name at the top of a destination lies ("" for nothing there).
using PlaceOf = std::function<std::string(const std::string& name)>;

// The members of the package in `destination` whose document has `entries` entries
// (-1: no readable document).
std::vector<std::string> membersOf(const PlaceOf& at, int entries) {
  std::vector<std::string> members;
  for (int n = 0; n < 99 && (entries < 0 || n < entries); ++n) {
    const std::string name = entryFolderName(n);
    if (ownKind(at(name)) == EntryType::Folder) {
      members.push_back(name);
    } else if (entries < 0) {
      break;
    }
  }
  for (const std::string& name : packageTopFileNames()) {
    // The report, manifest and copy record are only Vesk's beside a document that reads
    // as a package's: beside anything else they are someone's own files, in the way of
    // a replace and never removed by it.
    const bool ownOnlyInPackage =
        name == kReportFileName || name == kManifestName || name == kCopyRecordName;
    if (ownOnlyInPackage && entries < 0) continue;
    if (ownKind(at(name)) != EntryType::File) continue;
    // Nor is a page of the report's name that Vesk did not write.
    if (name == kReportFileName && !isReportPageFile(at(name))) continue;
    members.push_back(name);
  }
  std::sort(members.begin(), members.end());
  return members;
}

}  // namespace

std::optional<std::set<std::string>> manifestListedFilesAt(const std::string& path) {
  constexpr std::uint64_t kMaxManifestBytes = std::uint64_t{256} << 20;
  if (ownKind(path) != EntryType::File) return std::nullopt;
  const auto size = fileSize(path);
  if (!size || *size > kMaxManifestBytes) return std::nullopt;
  const auto text = readFile(path);
  if (!text) return std::nullopt;
  const auto lines = readManifestText(*text);
  if (!lines) return std::nullopt;
  std::set<std::string> files;
  for (const ManifestLine& line : *lines) files.insert(line.path);
  return files;
}

namespace {

std::vector<ReplaceObstacleAt> obstaclesOf(const std::string& destination, const PlaceOf& at,
                                           std::size_t entryCount, bool report,
                                           const std::vector<std::string>& keptInPlace,
                                           DocumentNames* names) {
  std::vector<ReplaceObstacleAt> obstacles;
  // The earlier document, read once: what it names, and the members it makes.
  const auto read = namesOf(at(kDocumentName), names);
  const int entries = read ? read->entries : -1;
  const std::vector<std::vector<std::string>> none;
  const std::vector<std::vector<std::string>>& named = read ? read->paths : none;
  const std::vector<std::string> earlier = membersOf(at, entries);
  const auto owned = [&](const std::string& name) {
    return std::binary_search(earlier.begin(), earlier.end(), name);
  };
  for (const auto& name : newPackageMembers(entryCount, report)) {
    if (!owned(name) && !absent(at(name))) {
      obstacles.push_back({ReplaceObstacle::InTheWay, joinPath(destination, name)});
    }
  }
  // Each entry folder's named paths, so that a folder is weighed against its own only.
  std::map<std::string, std::vector<const std::vector<std::string>*>> namedIn;
  for (const auto& value : named) {
    if (!value.empty()) namedIn[value.front()].push_back(&value);
  }
  const std::optional<std::set<std::string>> listed = manifestListedFilesAt(at(kManifestName));
  for (const auto& name : earlier) {
    if (!isEntryFolderName(name)) continue;
    if (std::find(keptInPlace.begin(), keptInPlace.end(), name) != keptInPlace.end()) continue;
    std::vector<std::string> found;
    const std::string folder = at(name);
    unaccounted(folder, {name}, namedIn[name], entries >= 0, listed ? &*listed : nullptr, found);
    std::sort(found.begin(), found.end());
    // Named where the folder is at the top of the destination.
    const std::string top = joinPath(destination, name);
    for (auto& path : found) {
      obstacles.push_back({ReplaceObstacle::Unaccounted, top + path.substr(folder.size())});
    }
  }
  return obstacles;
}

}  // namespace

std::vector<std::string> unlistedInEntryFolder(const std::string& folder, const std::string& name,
                                               const std::set<std::string>& listed) {
  // The whole folder named: only the manifest decides what in it is Vesk's.
  const std::vector<std::string> whole{name};
  std::vector<std::string> found;
  unaccounted(folder, {name}, {&whole}, false, &listed, found);
  return found;
}

std::optional<std::set<std::string>> manifestListedFiles(const std::string& destination) {
  return manifestListedFilesAt(joinPath(destination, kManifestName));
}

std::shared_ptr<const DocumentNames::Read> DocumentNames::of(const std::string& documentPath) {
  const std::lock_guard<std::mutex> lock(mutex_);
  // The stamp is taken before the reading: a document changed while it is read has
  // another stamp by the next look, which reads it again.
  const std::optional<FileStamp> stamp = fileStampOf(documentPath);
  if (read_ != nullptr && stamp && stamp == stamp_ && path_ == documentPath) {
    return read_;
  }
  read_ = std::make_shared<const Read>(readNames(documentPath));
  path_ = documentPath;
  stamp_ = stamp;
  return read_;
}

std::vector<std::string> packageMembers(const std::string& destination, DocumentNames* names) {
  const auto read = namesOf(joinPath(destination, kDocumentName), names);
  return membersOf([&](const std::string& name) { return joinPath(destination, name); },
                   read ? read->entries : -1);
}

std::vector<std::string> newPackageMembers(std::size_t entryCount, bool report) {
  std::vector<std::string> members;
  for (std::size_t n = 0; n < entryCount; ++n)
    members.push_back(entryFolderName(static_cast<int>(n)));
  for (const std::string& name : packageTopFileNames()) {
    if (name != kReportFileName || report) members.push_back(name);
  }
  std::sort(members.begin(), members.end());
  return members;
}

std::vector<ReplaceObstacleAt> replaceObstacles(const std::string& destination,
                                                std::size_t entryCount, bool report,
                                                const std::vector<std::string>& keptInPlace,
                                                DocumentNames* names) {
  const auto at = [&](const std::string& name) { return joinPath(destination, name); };
  return obstaclesOf(destination, at, entryCount, report, keptInPlace, names);
}

std::vector<ReplaceObstacleAt> replaceObstaclesAfterUndo(
    const std::string& destination, std::size_t entryCount, bool report,
    const std::map<std::string, std::string>& lyingNow, DocumentNames* names) {
  const auto at = [&](const std::string& name) {
    const auto moved = lyingNow.find(name);
    return moved != lyingNow.end() ? moved->second : joinPath(destination, name);
  };
  return obstaclesOf(destination, at, entryCount, report, {}, names);
}

}  // namespace vesk
