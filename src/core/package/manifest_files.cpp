#include "package/manifest_files.h"

#include "base/atomic_file.h"
#include "base/file_stamp.h"
#include "base/file_system.h"
#include "base/volume_info.h"
#include "format/package_manifest.h"
#include "package/package_layout.h"

namespace vesk {

Status writeManifestFiles(const std::string& packageFolder, const std::vector<RecordedFile>& files,
                          Durability durability) {
  std::vector<ManifestLine> lines;
  lines.reserve(files.size());
  for (const RecordedFile& file : files) lines.push_back({file.path, file.hex});
  if (Status record =
          writeFileAtomically(packageFolder + kCopyRecordName, copyRecordText(files), durability);
      !record) {
    return record;
  }
  return writeFileAtomically(packageFolder + kManifestName, manifestText(lines), durability);
}

void noteCopiesInPlace(const std::string& packageFolder, const std::string& workingFolder) {
  const std::string path = packageFolder + kCopyRecordName;
  const std::optional<FileStamp> recordStamp = fileStampOf(path, Links::DoNotFollow);
  if (!recordStamp) return;
  const Result<std::string> text = readFile(path);
  std::optional<std::int64_t> firstWritten;
  auto files = text ? readCopyRecordText(*text, &firstWritten) : std::nullopt;
  if (!files) return;
  // Where the file system keeps no status change time, a copy is known by its size and
  // time alone, as a remount would otherwise make every copy look changed.
  const bool changeTimesKept = volumeInfoOf(packageFolder).keepsStatusChangeTime;
  for (RecordedFile& file : *files) {
    // A path leading out of the package is looked at nowhere.
    if (!packagePathParts(file.path)) {
      file.changed = kChangeUnknown;
      continue;
    }
    // A copy kept from the earlier package keeps its noted time unlooked at: the run
    // found it unchanged against that time, and a change since moves the time, which
    // every later run compares before it trusts the copy.
    if (changeTimesKept && file.changed > 0) continue;
    const std::optional<FileStamp> copy =
        fileStampOf(packageFolder + nativePackagePath(file.path), Links::DoNotFollow);
    if (!copy || copy->size != file.size || copy->modified != file.modified) {
      file.changed = kChangeUnknown;
    } else if (!changeTimesKept) {
      file.changed = 0;
    } else if (file.changed == kChangeUnknown) {
      // Made by this run, its verify passed moments ago.
      file.changed = copy->changed;
    } else {
      // Noted where the file system kept no such time: its time now is no proof.
      file.changed = kChangeUnknown;
    }
  }
  // Flushed: a record lost with the power would leave the one before, whose copies are
  // then copied again, never a torn one.
  (void)writeFileAtomicallyFrom(
      path, copyRecordText(*files, firstWritten.value_or(recordStamp->modified)), workingFolder,
      Durability::Flushed);
}

}  // namespace vesk
