#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/utf8.h"

namespace vesk {

// File-system operations on UTF-8 paths. None of them shows a message; each
// reports failure only through its result, naming the path and the system's error.

// The native path for a UTF-8 path text.
std::filesystem::path toFsPath(const std::string& path);

#ifdef _WIN32
// A UTF-8 path as the wide Win32 file calls take it: an absolute path (drive letter
// or UNC name) comes in its long form ("\\?\C:\..." or "\\?\UNC\server\..."), made
// full first so that "." and ".." still count, whatever its length: no absolute path
// meets the classic 260-character limit. A relative path, and one that names a device,
// is left in its classic form.
std::wstring win32Path(const std::string& path);

// For a whole read of `path` through `file`, a handle opened for reading (or
// INVALID_HANDLE_VALUE when the open failed, GetLastError() still telling why): the
// refusal the POSIX reads give for the same file, so that both platforms refuse the
// same files. A folder, pipe or device is NotRegularFile; a file over kMaxReadBytes
// is ReadFailed (ERROR_FILE_TOO_LARGE); nothing when the read may go on. A failed open
// of anything else is left to the caller, its error untouched.
std::optional<Failure> wholeReadRefusal(void* file, const std::string& path);

// Whether what has the file attributes `attributes` is a link, whose target is another
// name: a symbolic link, junction or mount point (a name-surrogate reparse point), or
// a reparse point whose tag cannot be learnt. Other reparse points (cloud placeholders
// such as OneDrive's, deduplicated or compressed files) are the file or folder itself.
// `tag` is the reparse tag as a listing gives it (0 when unknown); `path` (long form)
// or `file` (a handle opened on the entry itself) is where it is learnt otherwise.
bool isLinkByTag(unsigned long attributes, unsigned long tag);
bool isLinkAt(const std::wstring& path, unsigned long attributes);
bool isLinkHandle(void* file, unsigned long attributes);
#endif
// toFsPath for a path the standard streams open: on Windows an absolute path comes in
// its long form (see win32Path), which MinGW's streams pass on.
std::filesystem::path toOpenablePath(const std::string& path);

// The UTF-8 text of a native path.
std::string fromFsPath(const std::filesystem::path& path);

// Creates exactly one directory. Fails when something exists at the path already
// (AlreadyExists) or when its parent is missing (NotFound).
Status createDirectory(const std::string& path);

// Called during a copy with the number of bytes copied since the last call; false
// stops the copy before its next piece.
using CopyProgress = std::function<bool(std::uint64_t bytes)>;

// Bytes copied at most between two calls of a copy's progress: one piece takes well
// under 0.2 s on a slow disk (30 MB/s), so a cancel answers promptly.
inline constexpr std::uint64_t kCopyPieceBytes = std::uint64_t{4} << 20;

// Watches the bytes of a copy: every piece is handed to `written`, in order, once it
// is written, on the copying thread. With `room`, the copy reads each piece into the
// room it gives, so that the watcher gets the bytes written where it wants them,
// without their being copied again; without, into a buffer of its own.
struct CopyContent {
  // Room for the next piece, not empty; the copy reads at most that many bytes into
  // it. Asked again before `written`, it gives the same room.
  std::function<std::span<char>()> room;
  // The piece written last: it starts at the start of the room given last.
  std::function<void(std::string_view bytes)> written;

  CopyContent() = default;
  // Watches the pieces only: the copy reads them into a buffer of its own.
  template <typename Watch>
  requires std::is_invocable_v<Watch&, std::string_view> CopyContent(Watch watch)
      : written(std::move(watch)) {}

  explicit operator bool() const { return static_cast<bool>(written); }
};

// Copies one file, replacing an existing target, with the kernel's fast path where
// there is one; the copy keeps the source's time of last change. Fails when the source is missing,
// unreadable or not a regular file, or the target cannot be written; a failed copy may leave a
// partial target. A new target gets the permissions of a new file (an existing one keeps its own).
// A failure names the source (NotFound, ReadFailed, NotRegularFile) or the target (WriteFailed,
// also for a failed read during the copy). A target that is the source itself is left as it is
// (counts as success) rather than truncated. `progress` is called after every piece copied, at most
// kCopyPieceBytes each; when it returns false the copy stops there, the partial target (which the
// copy made or truncated) is removed, and the result is Cancelled, naming the target.
// Given `content`, the copy reads and writes through memory (no kernel fast path) and
// hands every piece written to it, so that the bytes written can be hashed without
// reading either file again (a create reads them straight into a HashQueue's chunks,
// hashed on a thread of its own).
Status copyFile(const std::string& from, const std::string& to, const CopyProgress& progress = {},
                const CopyContent& content = {});

// True for a folder, also for the "." and ".." entries.
bool isDirectory(const std::string& path);

// True when a file or a folder exists at the path.
bool pathExists(const std::string& path);

// Size in bytes of a regular file; NotRegularFile for anything else.
Result<std::uint64_t> fileSize(const std::string& path);

// The whole content of a file; fails when it cannot be opened or read (a folder
// cannot be read: NotRegularFile).
Result<std::string> readFile(const std::string& path);

// Every directory entry whose name matches the last component of `pattern` ("*" any
// run of characters, "?" any one character), "." and ".." included, in the order
// the file system returns them, each as the pattern's folder part (up to and
// including its last separator) followed by the entry's name. Empty when nothing
// matches; fails, naming the pattern's folder, when that folder cannot be read (or
// read to its end).
Result<std::vector<std::string>> findMatching(const std::string& pattern);

// findMatching, empty also when the folder cannot be read.
std::vector<std::string> listPattern(const std::string& pattern);

// The folder of the running executable, without the separator before the file name
// (empty for an executable in the root folder, so that folder + "/up.jpg" still
// names the right file). Empty when it cannot be determined.
std::string programFolder();

}  // namespace vesk
