#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/file_stamp.h"
#include "format/copy_record.h"

namespace vesk {

// The copy record of an earlier package, read once for a run, and the stamps of its
// files that a look made during the run found.
struct EarlierRecord {
  std::string folder;     // the package folder, ending with a separator
  std::int64_t time = 0;  // when the record was first written (its heading's time, else its own)
  std::map<std::string, RecordedFile> files;  // by path ("03/m/mesh.obj")
  // Stamps of its files (links not followed) by the same paths, as one look found them;
  // a file missing here is looked at when needed. Only the regular files found.
  std::map<std::string, FileStamp> seen;
};

// The copy record of the package in `folder` (ending with a separator); nothing when
// it is missing or not a record. Reads only the record.
std::optional<EarlierRecord> readEarlierRecord(const std::string& folder);

// A file already in place that holds exactly the bytes of a source: in the earlier
// package a replace rebuilds, or copied earlier in the same run.
struct ReusableFile {
  std::string path;      // where it is, a full path
  RecordedFile record;   // what is known of it: size, hash, the source as it was copied
  bool earlier = false;  // in the earlier package (else copied in this run)
};

// Finds the files a create need not copy from their sources again. Reads nothing but
// the earlier package's copy record and the stamps (size, time, identity) of files and
// of the folders on their way. A record's file whose path leads out of the package or
// through a link in it is never offered.
class CopyReuse {
 public:
  // No earlier package: only copies of this run are reused.
  CopyReuse() = default;
  // The package in `earlierFolder` (ending with a separator), through its copy record;
  // a folder without a readable record offers nothing.
  explicit CopyReuse(const std::string& earlierFolder);
  // The package `record` was read from, its files known by the stamps it holds, the
  // others looked at now. The record is held, not copied.
  explicit CopyReuse(std::shared_ptr<const EarlierRecord> record);

  // A file holding what the source at `source`, whose stamp is now `stamp`, holds: a
  // copy of this run from the same unchanged source (known by its identity, whatever
  // path names it); else the earlier package's own file when the source is that file
  // (a package read back: the same identity and name) and it still has its recorded
  // size and time; else a file of the earlier package copied from a source of that
  // path and identity, whose source and whose own size and time still match the
  // record. Identity alone is not enough across runs: some file systems (FAT and
  // exFAT on Linux, network mounts) number their files anew at each mount. A source changed within
  // the file system's time granularity before the record was made counts as changed, since a later
  // change might not have moved its time; when in doubt, nothing.
  std::optional<ReusableFile> find(const std::string& source, const FileStamp& stamp) const;

  // Remembers a file of this run at `path`, copied from the source `record` describes.
  void remember(const std::string& path, const RecordedFile& record);

 private:
  using Identity = std::pair<std::uint64_t, std::uint64_t>;  // device, file number

  std::shared_ptr<const EarlierRecord> record_;
  std::string folder_;
  std::int64_t recordTime_ = 0;
  // The record's files by their source's identity, and by their own while they still
  // hold what was recorded.
  std::multimap<Identity, const RecordedFile*> earlier_;
  std::map<Identity, const RecordedFile*> own_;
  std::map<Identity, ReusableFile> thisRun_;  // by the source's identity

  // True when every folder on the record's `path` below the package is a folder of
  // its own, not a link (or junction) to elsewhere; looked at once per folder.
  bool foldersAreOwn(const std::string& path) const;
  mutable std::map<std::string, bool> folders_;
};

// True when a file recorded with `record` may stand for the source now stamped
// `stamp`: the same file (identity), size and time, and that time older than the
// record by more than the coarsest file-system time granularity (2 s, FAT's).
bool sourceUnchanged(const RecordedFile& record, const FileStamp& stamp, std::int64_t recordTime);

// True when the earlier package's own file, now stamped `stamp`, still holds what
// `record` lists: its size, time and status change time as recorded (a copy rewritten
// and its time put back shows in the last, which no program sets back), that time
// older than the record by more than the coarsest time granularity (a later change
// cannot keep it), and a hash.
bool ownCopyUnchanged(const RecordedFile& record, const FileStamp& stamp, std::int64_t recordTime);

// True when the file now stamped `stamp` is as `record` lists its copy: the size, the
// time and the status change time (known; none where the file system keeps none) as
// recorded. A copy not as recorded may have been changed: only its bytes can tell.
bool copyAsRecorded(const RecordedFile& record, const FileStamp& stamp);

}  // namespace vesk
