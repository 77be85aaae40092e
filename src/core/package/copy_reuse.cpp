#include "package/copy_reuse.h"

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "format/package_manifest.h"
#include "package/package_layout.h"

namespace vesk {

namespace {

// The last component of a path, after "/" or the platform's separator.
std::string_view lastComponent(std::string_view path) {
  const std::size_t cut = path.find_last_of(std::string_view("/\\", kPathSeparator == '/' ? 1 : 2));
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

// FAT keeps times to 2 s; every other file system Vesk meets is finer.
constexpr std::int64_t kCoarsestGranularity = 2 * kStampUnitsPerSecond;

}  // namespace

bool CopyReuse::foldersAreOwn(const std::string& path) const {
  // Each folder between the package and the file, from the top: a folder, not a link.
  for (std::size_t slash = path.find('/'); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    auto [at, added] = folders_.try_emplace(folder, false);
    if (added) {
      const Result<EntryType> type = entryTypeOf(folder_ + nativePackagePath(folder));
      at->second = type && *type == EntryType::Folder;
    }
    if (!at->second) return false;
  }
  return true;
}

bool sourceUnchanged(const RecordedFile& record, const FileStamp& stamp, std::int64_t recordTime) {
  return record.sourceDevice == stamp.device && record.sourceFile == stamp.file &&
         record.sourceSize == stamp.size && record.sourceModified == stamp.modified &&
         record.sourceChanged == stamp.changed &&
         stamp.modified < recordTime - kCoarsestGranularity;
}

bool copyAsRecorded(const RecordedFile& record, const FileStamp& stamp) {
  return record.size == stamp.size && record.modified == stamp.modified &&
         record.changed != kChangeUnknown &&
         (record.changed == 0 || record.changed == stamp.changed);
}

bool ownCopyUnchanged(const RecordedFile& record, const FileStamp& stamp, std::int64_t recordTime) {
  return !record.hex.empty() && copyAsRecorded(record, stamp) &&
         stamp.modified < recordTime - kCoarsestGranularity;
}

namespace {

// The text of the package's record or manifest at `path`, and its stamp: nothing for a
// link at its name or a file larger than any package's.
std::optional<std::string> readOwnFile(const std::string& path, std::optional<FileStamp>& stamp) {
  constexpr std::uint64_t kMaxBytes = std::uint64_t{256} << 20;
  stamp = fileStampOf(path, Links::DoNotFollow);
  if (!stamp || stamp->size > kMaxBytes) return std::nullopt;
  auto text = readFile(path);
  if (!text) return std::nullopt;
  return std::move(*text);
}

}  // namespace

std::optional<EarlierRecord> readEarlierRecord(const std::string& folder) {
  std::optional<FileStamp> stamp, manifestStamp;
  const auto text = readOwnFile(folder + kCopyRecordName, stamp);
  if (!text) return std::nullopt;
  std::optional<std::int64_t> firstWritten;
  auto files = readCopyRecordText(*text, &firstWritten);
  if (!files) return std::nullopt;
  // Only what the manifest vouches for with the same hash: the new manifest takes its
  // hashes of reused files from the record, and a damaged record would put wrong ones
  // there (verify compares the manifest, never the record).
  const auto manifestText = readOwnFile(folder + kManifestName, manifestStamp);
  const auto lines = manifestText ? readManifestText(*manifestText) : std::nullopt;
  if (!lines) return std::nullopt;
  std::map<std::string_view, std::string_view> listed;
  for (const ManifestLine& line : *lines) listed.emplace(line.path, line.hex);
  EarlierRecord record;
  record.folder = folder;
  record.time = firstWritten.value_or(stamp->modified);
  for (RecordedFile& file : *files) {
    const auto vouched = listed.find(file.path);
    if (vouched == listed.end() || vouched->second != file.hex) continue;
    std::string at = file.path;
    record.files.emplace(std::move(at), std::move(file));
  }
  return record;
}

CopyReuse::CopyReuse(const std::string& earlierFolder) : folder_(earlierFolder) {
  if (auto record = readEarlierRecord(earlierFolder)) {
    *this = CopyReuse(std::make_shared<const EarlierRecord>(std::move(*record)));
  }
}

CopyReuse::CopyReuse(std::shared_ptr<const EarlierRecord> record)
    : record_(std::move(record)), folder_(record_->folder), recordTime_(record_->time) {
  for (const auto& [at, file] : record_->files) {
    // A path leading out of the package, or through a link in it, stands for nothing.
    if (!packagePathParts(at) || !foldersAreOwn(at)) continue;
    if (!file.source.empty()) earlier_.emplace(Identity{file.sourceDevice, file.sourceFile}, &file);
    // The earlier package's own files, which a package read back names as its sources:
    // known by their own identity while they still hold what was recorded.
    const auto seen = record_->seen.find(at);
    const std::optional<FileStamp> copy =
        seen != record_->seen.end()
            ? std::optional<FileStamp>(seen->second)
            : fileStampOf(folder_ + nativePackagePath(at), Links::DoNotFollow);
    if (copy && ownCopyUnchanged(file, *copy, recordTime_)) {
      own_.emplace(Identity{copy->device, copy->file}, &file);
    }
  }
}

std::optional<ReusableFile> CopyReuse::find(const std::string& sourcePath,
                                            const FileStamp& stamp) const {
  const Identity source{stamp.device, stamp.file};
  if (const auto copied = thisRun_.find(source); copied != thisRun_.end()) {
    const RecordedFile& record = copied->second.record;
    if (record.sourceDevice == stamp.device && record.sourceFile == stamp.file &&
        record.sourceSize == stamp.size && record.sourceModified == stamp.modified &&
        record.sourceChanged == stamp.changed) {
      return copied->second;
    }
  }
  if (const auto own = own_.find(source);
      own != own_.end() && lastComponent(own->second->path) == lastComponent(sourcePath) &&
      ownCopyUnchanged(*own->second, stamp, recordTime_)) {
    return ReusableFile{folder_ + nativePackagePath(own->second->path), *own->second, true};
  }
  const auto [first, last] = earlier_.equal_range(source);
  for (auto it = first; it != last; ++it) {
    const RecordedFile& record = *it->second;
    if (record.source != sourcePath || !sourceUnchanged(record, stamp, recordTime_)) continue;
    const std::string path = folder_ + nativePackagePath(record.path);
    // The earlier copy itself, not followed through a link, as it was written.
    const auto copy = fileStampOf(path, Links::DoNotFollow);
    if (!copy || !copyAsRecorded(record, *copy)) continue;
    return ReusableFile{path, record, true};
  }
  return std::nullopt;
}

void CopyReuse::remember(const std::string& path, const RecordedFile& record) {
  thisRun_.emplace(Identity{record.sourceDevice, record.sourceFile},
                   ReusableFile{path, record, false});
}

}  // namespace vesk
