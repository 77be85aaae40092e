#include "package/package_reimport.h"

#include <vector>
#include "messages/message_template.h"
#include "messages/messages.h"

#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "format/two_digits.h"
#include "package/failure_reason.h"
#include "package/file_role.h"
#include "package/folder_listing.h"

namespace vesk {

namespace {

// The names of the roles an entry has no file for, separated by "、"; empty when it
// has all three.
std::string missingRoles(const ExhibitionEntry& entry) {
  std::string missing;
  const auto note = [&](const std::string& field, const char* name) {
    if (!field.empty()) return;
    if (!missing.empty()) missing += "、";
    missing += name;
  };
  note(entry.scenePath, "nuvファイル");
  note(entry.thumbnailPath, "サムネイル");
  note(entry.descriptionPath, "説明");
  return missing;
}

}  // namespace

bool reimportPackage(const std::string& packageDocument, EntryList& list, MessageSink& sink,
                     BuildProgress* progress) {
  const std::string packageFolder = folderOf(packageDocument);
  return reimportPackageAt([&](const std::string& name) { return packageFolder + name; }, list,
                           sink, progress);
}

bool reimportPackageAt(const PackagePlaceOf& placeOf, EntryList& list, MessageSink& sink,
                       BuildProgress* progress) {
  const auto present = [](const std::string& path) { return !path.empty() && pathExists(path); };
  const auto cancelled = [progress] { return progress != nullptr && progress->cancelRequested(); };
  list.clearEntries();

  std::string report;
  int f = 0;
  for (; f < kMaxReimportFolders; ++f) {
    if (cancelled()) return false;
    const std::string numbered = placeOf(twoDigits(f));
    if (progress != nullptr) progress->fileStarted(numbered);
    if (!present(numbered)) break;

    // Each folder starts from empty fields, so that a missing file is never taken over
    // from the folder before.
    ExhibitionEntry& working = list.workingEntry();
    working.scenePath.clear();
    working.thumbnailPath.clear();
    working.descriptionPath.clear();

    // A numbered folder that is a link holds no file of the package: it is not
    // followed, and its entry stays empty.
    const bool linked = isSymbolicLink(numbered);
    std::vector<std::string> files;
    const Status listed =
        linked ? Status{} : listFolderFiles(numbered + kPathSeparator + "*", files);
    // Nor is a file there that is a link: what it leads to is not the package's. Only a
    // regular file takes a role: a folder named like a scene or picture is none.
    bool linkedFile = false;
    for (const auto& path : files) {
      const Result<EntryType> type = entryTypeOf(path);
      if (type && *type == EntryType::Link) {
        linkedFile = true;
        continue;
      }
      // A file that cannot be looked at keeps its role by name: the check then says why
      // it cannot be read.
      if (!type || *type == EntryType::File) assignRole(working, fileRoleOf(path), path);
    }
    list.appendWorkingEntry();

    // A folder that cannot be read says why its files are missing.
    std::string missing = missingRoles(working);
    if (linked || (linkedFile && !missing.empty())) {
      missing += kReimportLinkedFolderReason;
    } else if (!listed && isDirectory(numbered)) {
      missing += "（";
      missing += systemReason(listed.failure().systemError);
      missing += "）";
    }
    if (!missing.empty()) {
      report += '\n';
      report += twoDigits(f);
      report += ": ";
      report += missing;
    }
  }

  // Numbered folders after a gap are not entries of the list; the operator is told, so
  // that a create from the list does not pass them over unnoticed.
  std::string unread;
  for (int later = f + 1; later < kMaxReimportFolders; ++later) {
    if (cancelled()) return false;
    if (present(placeOf(twoDigits(later)))) {
      unread += '\n';
      unread += twoDigits(later);
    }
  }

  list.setCurrentIndex(list.empty() ? -1 : 0);
  if (!report.empty()) sink.showMessage(errorMessage(kMissingRolesMessage + report));
  if (!unread.empty()) {
    sink.showMessage(
        errorMessage(fillTemplate(kUnreadFoldersMessage, {{"missing", twoDigits(f)}}) + unread));
  }
  return true;
}

}  // namespace vesk
