#include "package/content_verify.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "base/file_hash.h"
#include "base/file_info.h"
#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "format/copy_record.h"
#include "format/package_manifest.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/failure_reason.h"
#include "package/package_layout.h"

namespace vesk {

namespace fs = std::filesystem;

namespace {

// Most bytes of a manifest or copy record read: about 300 bytes a line for far more
// files than a package holds.
constexpr std::uint64_t kMaxListBytes = std::uint64_t{256} << 20;

PackageProblem problem(PackageFault fault, const char* text, const std::string& path) {
  return {fault, fillTemplate(text, {{"path", path}})};
}

// A file or folder (`folder`) that could not be read, with the system's reason for
// `error` where it gives one.
PackageProblem unreadableProblem(const std::string& path, bool folder, int error) {
  const std::string reason = systemReason(error);
  if (reason.empty()) {
    return problem(PackageFault::ContentMissing,
                   folder ? kVerifyFolderUnreadable : kVerifyListedUnreadable, path);
  }
  return {PackageFault::ContentMissing,
          fillTemplate(folder ? kVerifyFolderUnreadableBecause : kVerifyListedUnreadableBecause,
                       {{"reason", reason}, {"path", path}})};
}

// What a path is, the path itself: a link is a link, never followed.
// What is at a path, a link not followed. Unreadable: something the look could not
// tell (no access, a name too long), which is no proof of a wrong kind.
enum class Entry { Missing, Regular, Directory, Link, Other, Unreadable };

Entry entryOf(const std::string& path) {
  if (isSymbolicLink(path)) return Entry::Link;
  const Result<FileKind> kind = fileKindOf(path);
  if (!kind) return Entry::Unreadable;
  switch (*kind) {
    case FileKind::Regular:
      return Entry::Regular;
    case FileKind::Directory:
      return Entry::Directory;
    case FileKind::Missing:
      return Entry::Missing;
    case FileKind::Inaccessible:
      return Entry::Unreadable;
    case FileKind::Other:
      break;
  }
  return Entry::Other;
}

Result<std::string> readSmallFile(const std::string& path) {
  const Entry entry = entryOf(path);
  // What could not be looked at fails to be read too, with the system's reason.
  if (entry == Entry::Unreadable) return readFile(path);
  if (entry != Entry::Regular) return makeFailure(FailureCode::NotRegularFile, path);
  const auto size = fileSize(path);
  if (!size) return size.failure();
  if (*size > kMaxListBytes) return makeFailure(FailureCode::ReadFailed, path);
  return readFile(path);
}

// The system's error for a regular file that fileInfoOf found unreadable: the one its
// open gave on Windows; on POSIX the access check's refusal, which it does not keep.
int refusalError(const FileInfo& info) {
#ifdef _WIN32
  return info.error;
#else
  return info.error != 0 ? info.error : EACCES;
#endif
}

PackageProblem sizeWrongProblem(const std::string& path, std::uint64_t expected,
                                std::uint64_t actual) {
  return {PackageFault::ContentChanged,
          fillTemplate(kVerifySizeWrong, {{"expected", std::to_string(expected)},
                                          {"actual", std::to_string(actual)},
                                          {"path", path}})};
}

class ContentRun {
 public:
  ContentRun(const std::string& folder, ContentCheck check) : folder_(folder), check_(check) {}

  ContentVerdict run() {
    const std::string manifestPath = folder_ + kManifestName;
    const Entry manifestEntry = entryOf(manifestPath);
    if (manifestEntry == Entry::Missing) {
      // The copy record is only ever written with a manifest: a package holding one
      // lost its manifest, and is not taken for one made before manifests were.
      if (entryOf(folder_ + kCopyRecordName) != Entry::Missing) {
        add(problem(PackageFault::ContentMissing, kVerifyManifestMissing, manifestPath));
      }
      walkPackage(false);
      return std::move(verdict_);
    }
    verdict_.manifest =
        check_ == ContentCheck::Quick ? ManifestState::NotVerified : ManifestState::VerifiedNow;
    const auto text = readSmallFile(manifestPath);
    const ManifestReading reading = text ? readManifest(*text) : ManifestReading{};
    if (!text || reading.malformedLine != 0) {
      // A manifest that could not be read says why; one read names its first line
      // not of the manifest's form.
      const std::string reason = text ? std::string() : systemReason(text.failure().systemError);
      if (manifestEntry != Entry::Regular && manifestEntry != Entry::Unreadable) {
        add(irregular(manifestPath));
      } else if (!reason.empty()) {
        add({PackageFault::ManifestUnreadable,
             fillTemplate(kVerifyManifestUnreadableBecause,
                          {{"reason", reason}, {"path", manifestPath}})});
      } else if (text) {
        add({PackageFault::ManifestUnreadable,
             fillTemplate(
                 kVerifyManifestLineMalformed,
                 {{"line", std::to_string(reading.malformedLine)}, {"path", manifestPath}})});
      } else {
        add(problem(PackageFault::ManifestUnreadable, kVerifyManifestUnreadable, manifestPath));
      }
      walkPackage(false);
      return finish();
    }
    readSizes();
    // A line repeated as it was adds nothing: each file is checked and counted once.
    // A file listed again with another hash cannot match both: the manifest is wrong,
    // whatever the file holds (said by the quick check too, which hashes nothing).
    std::map<std::string, std::pair<std::string, std::string>> seen;  // hash, full path
    for (const ManifestLine& line : reading.lines) {
      const auto [at, added] = seen.try_emplace(line.path, line.hex, std::string());
      if (!added) {
        if (at->second.first != line.hex) {
          add(problem(PackageFault::ContentChanged, kVerifyListedTwice, at->second.second));
        }
        continue;
      }
      ++verdict_.listedFiles;
      at->second.second = checkListed(line);
    }
    walkPackage(true);
    return finish();
  }

 private:
  ContentVerdict finish() {
    if (!verdict_.problems.empty() && verdict_.manifest != ManifestState::NoManifest) {
      verdict_.manifest = ManifestState::Mismatch;
    }
    return std::move(verdict_);
  }

  void add(PackageProblem found) { verdict_.problems.push_back(std::move(found)); }

  PackageProblem irregular(const std::string& path) {
    reported_.insert(path);
    return problem(PackageFault::ContentIrregular, kVerifyIrregularFile, path);
  }

  // A member whose look failed, reported once with `text` (a folder or a file that
  // cannot be read), and why where the system says.
  void unreadable(const std::string& path, const char* text) {
    if (!reported_.insert(path).second) return;
    const Result<EntryType> look = entryTypeOf(path);
    add(unreadableProblem(path, text == kVerifyFolderUnreadable,
                          look ? 0 : look.failure().systemError));
  }

  // The sizes of the copy record. A quick check has no others: a record that cannot be
  // read is a problem then, never a silent pass.
  void readSizes() {
    const auto text = readSmallFile(folder_ + kCopyRecordName);
    const auto files = text ? readCopyRecordText(*text) : std::nullopt;
    if (!files) {
      if (check_ != ContentCheck::Full) {
        add(problem(PackageFault::RecordUnreadable, kVerifyRecordUnreadable,
                    folder_ + kCopyRecordName));
      }
      return;
    }
    recordRead_ = true;
    for (const RecordedFile& file : *files) sizes_[file.path] = file.size;
  }

  enum class Way { Real, Reported, Missing };

  // Whether every folder on the way to `parts`' last one is a real folder; a link (or
  // other irregular member, or a folder that cannot be looked at) on the way is
  // reported once.
  Way wayTo(const std::vector<std::string_view>& parts) {
    std::string path = folder_;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
      path += parts[i];
      if (realFolders_.count(path) == 0) {
        const Entry entry = entryOf(path);
        if (entry == Entry::Link || entry == Entry::Other) {
          if (reported_.count(path) == 0) add(irregular(path));
          return Way::Reported;
        }
        if (entry == Entry::Unreadable) {
          unreadable(path, kVerifyFolderUnreadable);
          return Way::Reported;
        }
        if (entry != Entry::Directory) return Way::Missing;
        realFolders_.insert(path);
      }
      path += kPathSeparator;
    }
    return Way::Real;
  }

  // Checks the file a manifest line lists; gives the path it has in the package (the
  // line's own where it points outside).
  std::string checkListed(const ManifestLine& line) {
    const auto parts = packagePathParts(line.path);
    if (!parts) {
      add(problem(PackageFault::PathOutside, kVerifyListedOutside, line.path));
      return line.path;
    }
    std::string path = folder_;
    for (std::size_t i = 0; i < parts->size(); ++i) {
      if (i > 0) path += kPathSeparator;
      path += (*parts)[i];
      if (i + 1 < parts->size()) listedFolders_.insert(path);
    }
    listed_.insert(path);
    checkListedAt(line, *parts, path);
    return path;
  }

  // The file at `path` (of `parts`), against the size recorded and the line's hash.
  void checkListedAt(const ManifestLine& line, const std::vector<std::string_view>& parts,
                     const std::string& path) {
    switch (wayTo(parts)) {
      case Way::Real:
        break;
      case Way::Reported:
        return;
      case Way::Missing:
        add(problem(PackageFault::ContentMissing, kVerifyListedMissing, path));
        return;
    }
    switch (entryOf(path)) {
      case Entry::Missing:
        add(problem(PackageFault::ContentMissing, kVerifyListedMissing, path));
        return;
      case Entry::Link:
      case Entry::Other:
      case Entry::Directory:
        add(irregular(path));
        return;
      case Entry::Unreadable:
        unreadable(path, kVerifyListedUnreadable);
        return;
      case Entry::Regular:
        break;
    }
    const auto expected = sizes_.find(line.path);
    if (check_ != ContentCheck::Full) {
      if (expected == sizes_.end()) {
        if (recordRead_) add(problem(PackageFault::RecordUnreadable, kVerifySizeUnknown, path));
        return;
      }
      // A file that cannot be read fails the kiosk as a changed one would: the one look
      // that gives its size tells it too.
      const FileInfo info = fileInfoOf(path);
      if (info.kind == FileKind::Regular && !info.readable) {
        add(unreadableProblem(path, false, refusalError(info)));
      } else if (info.kind == FileKind::Regular && info.size != expected->second) {
        add(sizeWrong(path, expected->second, info.size));
      }
      return;
    }
    const auto hash = hashFile(path);
    const bool sizeAsRecorded = !hash || expected == sizes_.end() || hash->size == expected->second;
    if (!hash) {
      add(unreadableProblem(path, false, hash.failure().systemError));
    } else if (hexText(hash->digest) == line.hex) {
      // The bytes the manifest vouches for: a size recorded otherwise is the record's
      // fault, named once.
      if (!sizeAsRecorded && !recordBlamed_) {
        recordBlamed_ = true;
        add(problem(PackageFault::RecordUnreadable, kVerifyRecordWrong, folder_ + kCopyRecordName));
      }
    } else if (!sizeAsRecorded) {
      add(sizeWrong(path, expected->second, hash->size));
    } else {
      add(problem(PackageFault::ContentChanged, kVerifyHashWrong, path));
    }
  }

  static PackageProblem sizeWrong(const std::string& path, std::uint64_t expected,
                                  std::uint64_t actual) {
    return sizeWrongProblem(path, expected, actual);
  }

  // Every member of the package, links not followed: links, FIFOs and devices are
  // problems anywhere in it (at the top, under a name the package's members take; what
  // else lies beside the package, an operator's notes or shortcut, is not the
  // package's); with a manifest, so is any file in the entry folders it does not list,
  // and an entry folder holding none it lists.
  void walkPackage(bool withManifest) {
    const auto entries = listed(folder_);
    if (!entries) return;
    const std::vector<std::string> topFiles = packageTopFileNames();
    for (const FolderEntry& member : *entries) {
      const std::string& name = member.name;
      if (!isEntryFolderName(name) &&
          std::find(topFiles.begin(), topFiles.end(), name) == topFiles.end()) {
        continue;
      }
      const std::string path = folder_ + name;
      const Entry entry = entryOf(path);
      if (entry == Entry::Link || entry == Entry::Other) {
        if (reported_.count(path) == 0) add(irregular(path));
        continue;
      }
      if (entry == Entry::Unreadable) {
        unreadable(path, kVerifyListedUnreadable);
        continue;
      }
      // The document and the buttons are listed as every file the package makes.
      if (entry == Entry::Regular && withManifest && listed_.count(path) == 0 &&
          (name == kDocumentName || name == kUpButtonName || name == kDownButtonName)) {
        add(problem(PackageFault::ContentUnlisted, kVerifyUnlisted, path));
        continue;
      }
      if (entry != Entry::Directory || !isEntryFolderName(name)) continue;
      if (withManifest && listedFolders_.count(path) == 0) {
        add(problem(PackageFault::ContentUnlisted, kVerifyUnlistedFolder, path));
        continue;
      }
      walkFolder(path, withManifest);
    }
  }

  // The entries of a folder of the package; one that cannot be read is a problem,
  // never taken for an empty one.
  std::optional<std::vector<FolderEntry>> listed(const std::string& folder) {
    Result<std::vector<FolderEntry>> entries = listFolder(folder);
    if (!entries) {
      add(unreadableProblem(folder, true, entries.failure().systemError));
      return std::nullopt;
    }
    return std::move(*entries);
  }

  void walkFolder(const std::string& folder, bool withManifest) {
    const auto entries = listed(folder);
    if (!entries) return;
    for (const FolderEntry& member : *entries) {
      const std::string path = folder + kPathSeparator + member.name;
      switch (entryOf(path)) {
        case Entry::Link:
        case Entry::Other:
          if (reported_.count(path) == 0) add(irregular(path));
          break;
        case Entry::Unreadable:
          unreadable(path, kVerifyListedUnreadable);
          break;
        case Entry::Directory:
          walkFolder(path, withManifest);
          break;
        case Entry::Regular:
          if (withManifest && listed_.count(path) == 0) {
            add(problem(PackageFault::ContentUnlisted, kVerifyUnlisted, path));
          }
          break;
        case Entry::Missing:
          break;
      }
    }
  }

  const std::string& folder_;
  ContentCheck check_;
  ContentVerdict verdict_;
  std::map<std::string, std::uint64_t> sizes_;  // by manifest path
  bool recordRead_ = false;
  std::set<std::string> listed_;         // full paths of listed files
  std::set<std::string> listedFolders_;  // full paths of the folders holding them
  std::set<std::string> realFolders_;
  std::set<std::string> reported_;  // irregular members already reported
  bool recordBlamed_ = false;       // the record's wrong sizes were reported
};

// True when the file starts as every document does (its XML declaration), read
// without reading the rest.
bool startsAsDocument(const std::string& path) {
  static constexpr std::string_view kStart = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"";
  std::ifstream in(toOpenablePath(path), std::ios::binary);
  std::string start(kStart.size(), '\0');
  return in.read(start.data(), static_cast<std::streamsize>(start.size())) && start == kStart;
}

}  // namespace

ContentVerdict verifyPackageContent(const std::string& packageFolder, ContentCheck check) {
  return ContentRun(packageFolder, check).run();
}

ContentVerdict verifyWrittenContent(const WrittenTree& tree,
                                    const std::vector<RecordedFile>& written,
                                    const std::vector<std::string>& elsewhere) {
  ContentVerdict verdict;
  verdict.manifest = ManifestState::VerifiedNow;
  verdict.listedFiles = written.size();
  const auto add = [&](PackageProblem found) { verdict.problems.push_back(std::move(found)); };
  std::set<std::string> reported;  // irregular members already reported, full paths
  const auto irregular = [&](const std::string& path) {
    if (reported.insert(path).second) {
      add(problem(PackageFault::ContentIrregular, kVerifyIrregularFile, path));
    }
  };
  const auto memberAt = [&](const std::string& relative) -> const WrittenMember* {
    const auto found = tree.members.find(relative);
    return found == tree.members.end() ? nullptr : &found->second;
  };
  for (const std::string& folder : tree.unreadable) {
    add(problem(PackageFault::ContentMissing, kVerifyFolderUnreadable, folder));
  }

  // The manifest and the copy record must hold exactly the text made of `written`:
  // read back, since they are the package's own proof of its content.
  std::vector<ManifestLine> lines;
  lines.reserve(written.size());
  for (const RecordedFile& file : written) lines.push_back({file.path, file.hex});
  for (const auto& [name, text] : {std::pair{kManifestName, manifestText(lines)},
                                   std::pair{kCopyRecordName, copyRecordText(written)}}) {
    const std::string path = tree.folder + name;
    const WrittenMember* member = memberAt(name);
    if (member == nullptr) {
      add(problem(PackageFault::ContentMissing, kVerifyListedMissing, path));
    } else if (member->type != EntryType::File) {
      irregular(path);
    } else if (member->size != text.size()) {
      add(problem(PackageFault::ContentChanged, kVerifyHashWrong, path));
    } else if (const auto found = readFile(path); !found || *found != text) {
      add(problem(PackageFault::ContentChanged, kVerifyHashWrong, path));
    }
  }

  // Every file written: there, a regular file reached through real folders, of the
  // size written. Its bytes are the ones hashed as they were written; only a walk of
  // the package (one look at each member) tells that nothing was lost or replaced since.
  std::set<std::string> listed;        // relative paths of the files written
  std::set<std::string> entryFolders;  // the top folders holding them
  for (const RecordedFile& file : written) {
    const auto parts = packagePathParts(file.path);
    if (!parts) {
      add(problem(PackageFault::PathOutside, kVerifyListedOutside, file.path));
      continue;
    }
    // A kept entry folder lies outside the tree: the caller checks its files.
    if (std::binary_search(elsewhere.begin(), elsewhere.end(), parts->front())) continue;
    std::string native;
    for (const std::string_view part : *parts) {
      if (!native.empty()) native += kPathSeparator;
      native += part;
    }
    std::string relative;
    bool reachable = true;
    for (std::size_t i = 0; i < parts->size() && reachable; ++i) {
      if (i > 0) relative += kPathSeparator;
      relative += (*parts)[i];
      if (i + 1 == parts->size()) break;
      if (i == 0) entryFolders.insert(relative);
      const WrittenMember* way = memberAt(relative);
      if (way == nullptr || way->type == EntryType::File) {
        add(problem(PackageFault::ContentMissing, kVerifyListedMissing, tree.folder + native));
        reachable = false;
      } else if (way->type != EntryType::Folder) {
        irregular(tree.folder + relative);  // the file is reported as the link on its way
        reachable = false;
      }
    }
    if (!reachable) continue;
    const std::string path = tree.folder + relative;
    listed.insert(relative);
    const WrittenMember* member = memberAt(relative);
    if (member == nullptr) {
      add(problem(PackageFault::ContentMissing, kVerifyListedMissing, path));
    } else if (member->type != EntryType::File) {
      irregular(path);
    } else if (member->size != file.size) {
      add(sizeWrongProblem(path, file.size, member->size));
    }
  }

  // Links, FIFOs and devices anywhere are problems; so is any file in the entry folders
  // not written, and an entry folder holding none written.
  std::set<std::string> unlistedFolders;
  for (const auto& [relative, member] : tree.members) {
    const std::size_t separator = relative.find(kPathSeparator);
    const std::string top = relative.substr(0, separator);
    if (unlistedFolders.count(top) != 0) continue;
    const std::string path = tree.folder + relative;
    if (member.type == EntryType::Link || member.type == EntryType::Other) {
      irregular(path);
    } else if (separator == std::string::npos) {
      if (member.type == EntryType::Folder && isEntryFolderName(relative) &&
          entryFolders.count(relative) == 0) {
        add(problem(PackageFault::ContentUnlisted, kVerifyUnlistedFolder, path));
        unlistedFolders.insert(relative);
      }
    } else if (member.type == EntryType::File && listed.count(relative) == 0) {
      add(problem(PackageFault::ContentUnlisted, kVerifyUnlisted, path));
    }
  }
  if (!verdict.problems.empty()) verdict.manifest = ManifestState::Mismatch;
  return verdict;
}

bool isDocumentToRead(const std::string& documentPath) {
  return isPackageDocument(documentPath) && !isSymbolicLink(documentPath) &&
         startsAsDocument(documentPath);
}

ContentVerdict verifyWholePackage(const std::string& documentPath, ContentCheck check) {
  // Something that is there but no document of a package is refused unread; a missing
  // or unreadable document is verifyPackage's to report.
  const Result<FileKind> kind = fileKindOf(documentPath);
  // A file that cannot be opened is not judged by what it holds.
  const bool unopenable =
      kind && *kind == FileKind::Regular && !std::ifstream(toOpenablePath(documentPath));
  if (kind && *kind != FileKind::Missing && *kind != FileKind::Inaccessible && !unopenable &&
      !isDocumentToRead(documentPath)) {
    ContentVerdict refused;
    refused.problems.push_back(
        problem(PackageFault::NotAPackage, kVerifyNotAPackage, documentPath));
    return refused;
  }
  std::vector<PackageProblem> structure = verifyPackage(documentPath);
  // Where the package's folder cannot be reached (missing, its name too long), the
  // document's problem says why; nothing in it can be looked at.
  const std::string folder = folderOf(documentPath);
  const std::string top = folder.empty() ? "." : folder;
  const Result<FileKind> folderKind = fileKindOf(top);
  if (!folderKind || *folderKind != FileKind::Directory || !listFolder(top)) {
    ContentVerdict unreached;
    unreached.problems = std::move(structure);
    return unreached;
  }
  ContentVerdict verdict = verifyPackageContent(folder, check);
  structure.insert(structure.end(), std::make_move_iterator(verdict.problems.begin()),
                   std::make_move_iterator(verdict.problems.end()));
  verdict.problems = std::move(structure);
  return verdict;
}

std::string contentNoteText(const ContentVerdict& verdict, ContentCheck check) {
  if (verdict.manifest == ManifestState::NoManifest) return kVerifyNoManifest;
  const std::string count = std::to_string(verdict.listedFiles);
  return fillTemplate(check == ContentCheck::Full ? kVerifyContentChecked : kVerifySizesChecked,
                      {{"count", count}});
}

}  // namespace vesk
