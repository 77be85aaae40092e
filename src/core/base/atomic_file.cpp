#include "base/atomic_file.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <random>

#include "base/file_system.h"
#include "base/file_system_flush.h"
#include "base/path_terms.h"
#include "base/utf8.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vesk {
namespace {

constexpr int kNameAttempts = 100;
// Longest part of the target's name that goes into the temporary file's name, so
// that the latter stays within the usual limit of 255 bytes.
constexpr std::size_t kNameStemLimit = 200;

// Six random letters and digits for a temporary file name.
std::string randomSuffix() {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 generator(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 2);
  std::string suffix(6, '\0');
  for (char& c : suffix) c = kAlphabet[pick(generator)];
  return suffix;
}

// The name of a temporary file beside `path`: ".<name>.tmp-XXXXXX".
std::string temporaryPathFor(const std::string& folder, const std::string& name) {
  std::size_t stem = std::min(name.size(), kNameStemLimit);
  while (stem > 0 && stem < name.size() && isUtf8Continuation(name[stem])) --stem;
  return folder + "." + name.substr(0, stem) + ".tmp-" + randomSuffix();
}

#ifndef _WIN32

// A temporary file beside the target that either replaces the target or is removed.
class TemporaryFile {
 public:
  // `flush`: the file and its folder are flushed before the rename is reported done.
  // `tempFolder`: the folder to make it in; empty: the target's.
  TemporaryFile(const std::string& target, bool flush, const std::string& tempFolder)
      : target_(target), flush_(flush), tempFolder_(tempFolder) {}
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty() && !committed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool create() {
    folder_ = folderOf(target_);
    const std::string name = target_.substr(folder_.size());
    struct stat existing;
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (name.empty() || (exists && S_ISDIR(existing.st_mode))) return fail(EISDIR);

    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      const std::string candidate =
          temporaryPathFor(tempFolder_.empty() ? folder_ : tempFolder_, name);
      fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0) {
        path_ = candidate;
        break;
      }
      if (errno != EEXIST && errno != EINTR) return fail(errno);
    }
    if (fd_ < 0) return fail(EEXIST);
    // A replaced file's successor keeps its permissions, as if it had been rewritten.
    if (exists && S_ISREG(existing.st_mode) && ::fchmod(fd_, existing.st_mode & 07777) != 0) {
      return fail(errno);
    }
    return true;
  }

  bool write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail(errno);
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
  }

  bool replaceTarget() {
    if (flush_ && ::fsync(fd_) != 0) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(path_.c_str(), target_.c_str()) != 0) return fail(errno);
    committed_ = true;
    if (!flush_) return true;
    // The rename is the commit: the folder flush makes it durable. A folder that cannot
    // be flushed does not undo it, but the write is not reported as done (a file system
    // that cannot flush folders at all answers EINVAL and counts as flushed).
    const int folder =
        ::open(folder_.empty() ? "." : folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return fail(errno);
    const bool flushed = ::fsync(folder) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(folder);
    if (!flushed) return fail(error);
    return true;
  }

  Failure failure() const {
    return makeFailure(FailureCode::WriteFailed, target_, static_cast<int>(error_));
  }

 private:
  bool fail(int error) {
    error_ = error;
    return false;
  }

  std::string target_;
  bool flush_;
  std::string tempFolder_;
  std::string folder_;
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  bool committed_ = false;
};

#else  // _WIN32

constexpr int kReplaceAttempts = 20;
constexpr DWORD kReplaceRetryMs = 50;

// Errors with which another program holding the file briefly blocks a replace.
bool isTransient(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

// A temporary file beside the target that either replaces the target or is removed.
class TemporaryFile {
 public:
  // `flush`: written through and flushed before the rename is reported done.
  // `tempFolder`: the folder to make it in; empty: the target's.
  TemporaryFile(const std::string& target, bool flush, const std::string& tempFolder)
      : target_(target), flush_(flush), tempFolder_(tempFolder) {}
  ~TemporaryFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (!path_.empty() && !committed_) DeleteFileW(win32Path(path_).c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool create() {
    const std::string folder = folderOf(target_);
    const std::string name = target_.substr(folder.size());
    if (name.empty() || isDirectory(target_)) return fail(ERROR_DIRECTORY);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      const std::string candidate =
          temporaryPathFor(tempFolder_.empty() ? folder : tempFolder_, name);
      handle_ =
          CreateFileW(win32Path(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL | (flush_ ? FILE_FLAG_WRITE_THROUGH : 0), nullptr);
      if (handle_ != INVALID_HANDLE_VALUE) {
        path_ = candidate;
        return true;
      }
      if (GetLastError() != ERROR_FILE_EXISTS) return fail(GetLastError());
    }
    return fail(ERROR_FILE_EXISTS);
  }

  bool write(std::string_view bytes) {
    while (!bytes.empty()) {
      const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle_, bytes.data(), piece, &written, nullptr)) return fail(GetLastError());
      bytes.remove_prefix(written);
    }
    return true;
  }

  bool replaceTarget() {
    if (flush_ && !FlushFileBuffers(handle_)) return fail(GetLastError());
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) return fail(GetLastError());
    const std::wstring source = win32Path(path_);
    const std::wstring target = win32Path(target_);
    DWORD error = ERROR_SUCCESS;
    // A rename over the target, not ReplaceFileW: a failed ReplaceFileW may leave a
    // backup of its own ("rff*.tmp") in the target's folder.
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
      if (attempt > 0) Sleep(kReplaceRetryMs);
      if (MoveFileExW(source.c_str(), target.c_str(),
                      MOVEFILE_REPLACE_EXISTING | (flush_ ? MOVEFILE_WRITE_THROUGH : 0))) {
        committed_ = true;
        return true;
      }
      error = GetLastError();
      if (!isTransient(error)) break;
    }
    return fail(error);
  }

  Failure failure() const {
    return makeFailure(FailureCode::WriteFailed, target_, static_cast<int>(error_));
  }

 private:
  bool fail(DWORD error) {
    error_ = error;
    return false;
  }

  std::string target_;
  bool flush_;
  std::string tempFolder_;
  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DWORD error_ = ERROR_SUCCESS;
  bool committed_ = false;
};

#endif

// Creates the temporary file, lets `fill` write the content into it and puts it in
// place of the target. `fill` returns false on failure, setting `fillFailure` when
// the failure is its own rather than a failed write.
template <typename Fill>
Status replaceWith(const std::string& path, Durability durability, const Fill& fill,
                   const std::string& tempFolder = {}) {
  TemporaryFile file(path, durability == Durability::Flushed || !kFlushesWholeFileSystem,
                     tempFolder);
  std::optional<Failure> fillFailure;
  if (file.create() && fill(file, fillFailure) && file.replaceTarget()) return {};
  return fillFailure ? *fillFailure : file.failure();
}

}  // namespace

Status writeFileAtomically(const std::string& path, std::string_view bytes, Durability durability) {
  return replaceWith(path, durability, [&](TemporaryFile& file, std::optional<Failure>&) {
    return file.write(bytes);
  });
}

Status writeFileAtomicallyFrom(const std::string& path, std::string_view bytes,
                               const std::string& temporaryFolder, Durability durability) {
  return replaceWith(
      path, durability,
      [&](TemporaryFile& file, std::optional<Failure>&) { return file.write(bytes); },
      temporaryFolder);
}

Status writeFileAtomically(const std::string& path, const ContentWriter& produce,
                           Durability durability) {
  return replaceWith(path, durability,
                     [&](TemporaryFile& file, std::optional<Failure>& fillFailure) {
                       std::string piece;
                       bool more = true;
                       while (more) {
                         piece.clear();
                         Result<bool> produced = produce(piece);
                         if (!produced) {
                           fillFailure = produced.failure();
                           return false;
                         }
                         more = *produced;
                         if (!file.write(piece)) return false;
                       }
                       return true;
                     });
}

}  // namespace vesk
