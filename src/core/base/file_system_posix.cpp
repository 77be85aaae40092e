#include "base/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

#include "base/file_kind.h"
#include "base/free_in_background_posix.h"
#include "base/path_terms.h"
#include "base/utf8.h"

#ifdef __linux__
#include <sys/sendfile.h>
#endif
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

namespace vesk {

namespace {

// Closes a file descriptor when it goes out of scope, unless released.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  // Closes the descriptor held (if any) and takes `fd` instead.
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Gives up the descriptor without closing it.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes now and reports whether the close succeeded.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

int openFile(const std::string& path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

constexpr std::size_t kCopyPiece = static_cast<std::size_t>(kCopyPieceBytes);
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// Errors with which a fast copy path declines the pair of files, as cp sees them.
bool declinedByKernel(int error) {
  return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP ||
         error == ENOTSUP;
}

// A piece read is written in steps of this size, those in which the kernel's own copy
// (copy_file_range, as cp uses it) writes. Ext4 on recent kernels (6.18 here) gives a
// write page-cache folios as large as the write: 1 MiB writes take 1 MiB folios, blocks
// that a virtual machine with free page reporting may have handed back to its host,
// which must then fault every page of them in again. Written in 1 MiB steps, 1 GiB of
// large files took 3 to 4.4 s on the development VM at times; in these steps 0.65 to
// 0.8 s, as copy_file_range.
constexpr std::size_t kWriteStep = std::size_t{64} << 10;

bool writeAll(int fd, const char* data, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t n = ::pwrite(fd, data, std::min(size, kWriteStep), offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
    offset += n;
  }
  return true;
}

enum class CopyEnd { Done, Failed, Stopped };

// A copy of a large file asks the kernel to start writing each stretch of this many
// bytes to the disk once it is copied. With much memory the kernel would otherwise hold
// every copy back until the create's flush, which then writes them all while nothing
// else runs; started early, the disk writes while the next bytes are read, written and
// hashed.
constexpr std::uint64_t kWritebackBytes = std::uint64_t{8} << 20;

// Starts writing the bytes [from, to) of `out` to the disk, without waiting for them.
// Only stretches of a large file: a small file's bytes go with the flush.
void startWriteback(int out, off_t from, off_t to) {
#ifdef SYNC_FILE_RANGE_WRITE
  if (to > from && to >= static_cast<off_t>(kWritebackBytes)) {
    (void)::sync_file_range(out, from, to - from, SYNC_FILE_RANGE_WRITE);
  }
#else
  (void)out;
  (void)from;
  (void)to;
#endif
}

// Clears O_NONBLOCK of `fd`; false when it was clear already (or cannot be cleared), so
// that a file answering EAGAIN when blocking is not asked again and again.
bool blockingAgain(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  return flags >= 0 && (flags & O_NONBLOCK) != 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// Copies the content of `in` to `out` from the start, piece by piece: with
// copy_file_range where the kernel offers it for the two files, else sendfile, else
// read and write; only read and write when the pieces are watched, each piece read
// into the watcher's room where it gives one. Stops when
// `progress` returns false after a piece.
CopyEnd copyContent(int in, int out, off_t size, const CopyProgress& progress,
                    const CopyContent& content) {
  enum class Method { kCopyFileRange, kSendfile, kReadWrite };
#ifdef __linux__
  // An empty size may hide content (files of /proc): only read tells.
  Method method = size > 0 && !content ? Method::kCopyFileRange : Method::kReadWrite;
#else
  (void)size;
  Method method = Method::kReadWrite;
#endif
  // Sized to the file (one byte more, to meet its end in the same read), so that
  // copying many small files neither clears nor maps a whole megabyte for each.
  std::unique_ptr<char[]> buffer;
  const std::size_t bufferSize =
      size > 0 ? std::min(kBufferSize, static_cast<std::size_t>(size) + 1) : kBufferSize;
  off_t copied = 0;
  off_t written = 0;  // where the writeback asked for so far ends
  for (;;) {
    ssize_t n = 0;
    switch (method) {
#ifdef __linux__
      case Method::kCopyFileRange: {
        loff_t inOffset = copied;
        loff_t outOffset = copied;
        n = ::copy_file_range(in, &inOffset, out, &outOffset, kCopyPiece, 0);
        // Some file systems copy nothing instead of declining.
        if ((n < 0 && declinedByKernel(errno)) || (n == 0 && copied == 0)) {
          method = Method::kSendfile;
          continue;
        }
        break;
      }
      case Method::kSendfile: {
        if (::lseek(out, copied, SEEK_SET) < 0) return CopyEnd::Failed;
        off_t inOffset = copied;
        n = ::sendfile(out, in, &inOffset, kCopyPiece);
        if ((n < 0 && declinedByKernel(errno)) || (n == 0 && copied == 0)) {
          method = Method::kReadWrite;
          continue;
        }
        break;
      }
#else
      case Method::kCopyFileRange:
      case Method::kSendfile:
        assert(false);
        break;
#endif
      case Method::kReadWrite: {
        std::span<char> room;
        if (content.room) {
          room = content.room();
        } else {
          if (!buffer) buffer.reset(new char[bufferSize]);
          room = {buffer.get(), bufferSize};
        }
        n = ::pread(in, room.data(), std::min(room.size(), bufferSize), copied);
        if (n <= 0) break;
        const auto piece = static_cast<std::size_t>(n);
        if (!writeAll(out, room.data(), piece, copied)) return CopyEnd::Failed;
        if (content) content.written(std::string_view(room.data(), piece));
        break;
      }
    }
    if (n < 0) {
      if (errno == EINTR) continue;
      // The source was opened non-blocking, to refuse a pipe rather than wait on it.
      if (errno == EAGAIN && !blockingAgain(in)) return CopyEnd::Failed;
      if (errno == EAGAIN) continue;
      return CopyEnd::Failed;
    }
    if (n == 0) {
      startWriteback(out, written, copied);
      return CopyEnd::Done;
    }
    copied += n;
    if (copied - written >= static_cast<off_t>(kWritebackBytes)) {
      startWriteback(out, written, copied);
      written = copied;
    }
    if (progress && !progress(static_cast<std::uint64_t>(n))) return CopyEnd::Stopped;
  }
}

// True when `name` matches `pattern`: "*" any run of characters, "?" any one
// character, every other character only itself.
bool matchesWildcard(std::string_view pattern, std::string_view name) {
  const auto nextChar = [&](std::size_t i) {
    const std::size_t length = decodeUtf8At(name, i).length;
    return i + (length == 0 ? 1 : length);
  };
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starPattern = std::string_view::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starPattern = ++p;
      starName = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n = nextChar(n);
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (starPattern != std::string_view::npos) {
      // Let the last "*" take one more character and try again from there.
      p = starPattern;
      starName = nextChar(starName);
      n = starName;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// A failure with the error the system reported last.
Failure lastFailure(FailureCode code, const std::string& path) {
  const int error = errno;
  return makeFailure(error == ENOENT ? FailureCode::NotFound : code, path, error);
}

}  // namespace

std::filesystem::path toFsPath(const std::string& path) {
  return std::filesystem::path(path);
}

std::filesystem::path toOpenablePath(const std::string& path) {
  return toFsPath(path);
}

std::string fromFsPath(const std::filesystem::path& path) {
  return path.string();
}

Status createDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return {};
  return lastFailure(errno == EEXIST ? FailureCode::AlreadyExists : FailureCode::WriteFailed, path);
}

Status copyFile(const std::string& from, const std::string& to, const CopyProgress& progress,
                const CopyContent& content) {
  // Non-blocking open: a pipe or device is refused below instead of blocking here.
  FileDescriptor in(openFile(from, O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (in.get() < 0) return lastFailure(FailureCode::ReadFailed, from);
  struct stat source;
  if (::fstat(in.get(), &source) != 0) return lastFailure(FailureCode::ReadFailed, from);
  if (!S_ISREG(source.st_mode)) {
    return makeFailure(FailureCode::NotRegularFile, from, S_ISDIR(source.st_mode) ? EISDIR : 0);
  }
  // A regular file reads as it would blocking (a file system that says otherwise gets
  // the flag cleared at its first such answer, see copyContent): no call per file for it.
#ifdef POSIX_FADV_SEQUENTIAL
  // Read once from start to end: the kernel may read further ahead. A small file is
  // read in one piece, where that changes nothing.
  if (source.st_size > static_cast<off_t>(kBufferSize)) {
    (void)::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  }
#endif

  // The usual target is new (a create's own working folder): made exclusively, it is
  // known to be an empty regular file without looking at the path first.
  FileDescriptor out(
      openFile(to, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0666));
  if (out.get() < 0 && errno != EEXIST) return lastFailure(FailureCode::WriteFailed, to);
  if (out.get() < 0) {
    // A link at the target is replaced, never written through.
    struct stat target;
    if (::lstat(to.c_str(), &target) == 0 && S_ISLNK(target.st_mode) && ::unlink(to.c_str()) != 0) {
      return lastFailure(FailureCode::WriteFailed, to);
    }
    if (::stat(to.c_str(), &target) == 0 && target.st_dev == source.st_dev &&
        target.st_ino == source.st_ino) {
      return {};
    }
    FileDescriptor existing(
        openFile(to, O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0666));
    if (existing.get() < 0) return lastFailure(FailureCode::WriteFailed, to);
    if (::fstat(existing.get(), &target) != 0) return lastFailure(FailureCode::WriteFailed, to);
    if (!S_ISREG(target.st_mode)) return makeFailure(FailureCode::NotRegularFile, to);
    // Only a target with content is truncated: ext4 flushes a file truncated to zero
    // when it is closed, which held the end of every copy (and a cancel) up by up to 0.5 s.
    if (target.st_size != 0 && ::ftruncate(existing.get(), 0) != 0) {
      return lastFailure(FailureCode::WriteFailed, to);
    }
    out.reset(existing.release());
  }
  off_t copiedBytes = 0;
  const CopyEnd end = copyContent(
      in.get(), out.get(), source.st_size,
      [&](std::uint64_t bytes) {
        copiedBytes += static_cast<off_t>(bytes);
        return !progress || progress(bytes);
      },
      content);
  if (end == CopyEnd::Stopped) {
    // The copy made or truncated the target: what is left of it is a partial copy. Its
    // name goes at once; freeing its blocks (50 ms and more per GiB on ext4) is left to
    // a thread of its own, so that the cancel is not held up by it.
    ::unlink(to.c_str());
    freeInBackground({out.release()});
    return makeFailure(FailureCode::Cancelled, to);
  }
  if (end == CopyEnd::Failed) return lastFailure(FailureCode::WriteFailed, to);
  // Like the Windows copy, the copy keeps the source's time of last change: a copy
  // edited later then shows a time far from the one recorded at the create, whatever
  // the file system's time granularity. Where times cannot be set, the copy keeps its own.
  const struct timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
  (void)::futimens(out.get(), times);
  if (!out.close()) return lastFailure(FailureCode::WriteFailed, to);
  // A source that shrank while it was copied left an incomplete copy.
  if (copiedBytes < source.st_size) return makeFailure(FailureCode::ReadFailed, from, ENODATA);
  return {};
}

bool isDirectory(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool pathExists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

Result<std::uint64_t> fileSize(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return lastFailure(FailureCode::ReadFailed, path);
  if (!S_ISREG(info.st_mode)) return makeFailure(FailureCode::NotRegularFile, path);
  return static_cast<std::uint64_t>(info.st_size);
}

Result<std::string> readFile(const std::string& path) {
  // Non-blocking open: a pipe or device is refused below instead of blocking here.
  FileDescriptor in(openFile(path, O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (in.get() < 0) return lastFailure(FailureCode::ReadFailed, path);
  struct stat info;
  if (::fstat(in.get(), &info) != 0) return lastFailure(FailureCode::ReadFailed, path);
  if (S_ISDIR(info.st_mode)) return makeFailure(FailureCode::NotRegularFile, path, EISDIR);
  if (!S_ISREG(info.st_mode)) return makeFailure(FailureCode::NotRegularFile, path);
  if (static_cast<unsigned long long>(info.st_size) > kMaxReadBytes) {
    return makeFailure(FailureCode::ReadFailed, path, EFBIG);
  }
  ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);

  // The size is a hint: read until the end, whatever it says.
  std::string content(static_cast<std::size_t>(info.st_size) + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == content.size()) content.resize(content.size() * 2 + kBufferSize);
    const ssize_t n = ::read(in.get(), content.data() + used, content.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      return lastFailure(FailureCode::ReadFailed, path);
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
    if (used > kMaxReadBytes) return makeFailure(FailureCode::ReadFailed, path, EFBIG);
  }
  content.resize(used);
  return content;
}

Result<std::vector<std::string>> findMatching(const std::string& pattern) {
  const std::string folder = folderOf(pattern);
  const std::string_view namePattern = std::string_view(pattern).substr(folder.size());
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return lastFailure(FailureCode::ReadFailed, folder);
  std::vector<std::string> paths;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    if (matchesWildcard(namePattern, entry->d_name)) paths.push_back(folder + entry->d_name);
  }
  const int error = errno;
  ::closedir(dir);
  if (error != 0) return makeFailure(FailureCode::ReadFailed, folder, error);
  return paths;
}

std::vector<std::string> listPattern(const std::string& pattern) {
  Result<std::vector<std::string>> found = findMatching(pattern);
  return found ? std::move(*found) : std::vector<std::string>{};
}

std::string programFolder() {
  std::string path;
#if defined(__APPLE__)
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);
  std::string raw(size, '\0');
  if (_NSGetExecutablePath(raw.data(), &size) != 0) return {};
  char* resolved = ::realpath(raw.c_str(), nullptr);
  if (resolved == nullptr) return {};
  path = resolved;
  std::free(resolved);
#else
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      path.assign(buffer.data(), static_cast<std::size_t>(n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
#endif
  const std::string folder = folderOf(path);
  return folder.empty() ? folder : folder.substr(0, folder.size() - 1);
}

}  // namespace vesk
