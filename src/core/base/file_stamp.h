#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vesk {

// What identifies a regular file's content without reading it: which file it is
// (device or volume and file number), its size, its last modification and its last
// change of status, in the units of FileInfo::modified (ns on POSIX, 100 ns on
// Windows). The status change time cannot be set back by a program (touch -r, cp -p
// set only the modification time): a file rewritten with its old size and time shows
// there. It also moves when the file is renamed, linked or given other permissions.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;  // 0 where the file system keeps no such time

  bool operator==(const FileStamp&) const = default;
};

// Units of FileStamp::modified in one second.
#ifdef _WIN32
inline constexpr std::int64_t kStampUnitsPerSecond = 10000000;
#else
inline constexpr std::int64_t kStampUnitsPerSecond = 1000000000;
#endif

enum class Links { Follow, DoNotFollow };

// The stamp of the regular file at `path`; nothing for anything that is not a regular
// file or a path that cannot be looked at. With Links::DoNotFollow a symbolic link (or
// other reparse point) is not followed and gives nothing. Opens nothing on POSIX; on
// Windows opens the file for its attributes only.
std::optional<FileStamp> fileStampOf(const std::string& path, Links links = Links::DoNotFollow);

// Which file or folder a path names: its device or volume and its file number.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t file = 0;

  bool operator==(const FileIdentity&) const = default;
};

// The identity of the regular file or folder at `path`, links followed; nothing for
// anything else or a path that cannot be looked at. Two paths with one identity name
// one file (or hard links of it). Opens nothing on POSIX; on Windows opens the file or
// folder for its attributes only.
std::optional<FileIdentity> identityOf(const std::string& path);

// How a file was put in place from another one of the same content.
enum class CloneMethod { Reflink, HardLink, Copy };

// Makes `to` (which must not exist) hold the content of the regular file `from`
// without copying its bytes where the file system allows: a reflink (a copy-on-write
// clone: Linux's FICLONE), else a hard link. When the file system has neither (FAT,
// exFAT) or both fail, nothing is made and the result is Copy: the caller copies.
// `noReflink` carries what an earlier call learnt: once the file system declined a
// reflink, set true, no further reflink is tried (each try costs a file made and
// removed again).
CloneMethod cloneOrLink(const std::string& from, const std::string& to, bool& noReflink);

}  // namespace vesk
