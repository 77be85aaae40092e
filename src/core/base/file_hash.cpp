#include "base/file_hash.h"

#include <memory>

#ifdef _WIN32
#include <windows.h>

#include "base/file_system.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace vesk {

namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;

// The buffer for a file of `size` bytes: one byte more, to meet its end in the same
// read, at most kPiece; so that hashing many small files allocates little.
std::size_t pieceFor(std::uint64_t size) {
  return size < kPiece ? static_cast<std::size_t>(size) + 1 : kPiece;
}

}  // namespace

#ifndef _WIN32

Result<FileHash> hashFile(const std::string& path) {
  // No link followed; a pipe or device opens without blocking and is refused by its kind.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    if (error == ELOOP) return makeFailure(FailureCode::NotRegularFile, path, error);
    return makeFailure(error == ENOENT ? FailureCode::NotFound : FailureCode::ReadFailed, path,
                       error);
  }
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return makeFailure(FailureCode::NotRegularFile, path);
  }
  Sha256 hasher;
  FileHash hash;
  const std::size_t size = pieceFor(static_cast<std::uint64_t>(status.st_size));
  std::unique_ptr<char[]> buffer(new char[size]);
  for (;;) {
    const ssize_t n = ::read(fd, buffer.get(), size);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      return makeFailure(FailureCode::ReadFailed, path, error);
    }
    if (n == 0) break;
    hasher.update(buffer.get(), static_cast<std::size_t>(n));
    hash.size += static_cast<std::uint64_t>(n);
  }
  ::close(fd);
  const auto digest = hasher.finish();
  if (!digest) return makeFailure(FailureCode::HashUnavailable, path);
  hash.digest = *digest;
  return hash;
}

#else

Result<FileHash> hashFile(const std::string& path) {
  // Opened as itself: a link is refused, never followed. A reparse point of another
  // kind (a cloud placeholder) is the file, opened again as such so that its content
  // is read (its provider may fetch it first).
  const std::wstring wide = win32Path(path);
  BY_HANDLE_FILE_INFORMATION info;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (const DWORD asItself : {DWORD{FILE_FLAG_OPEN_REPARSE_POINT}, DWORD{0}}) {
    file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN | asItself, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
      return makeFailure(missing ? FailureCode::NotFound : FailureCode::ReadFailed, path,
                         static_cast<int>(error));
    }
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    if (!known || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        GetFileType(file) != FILE_TYPE_DISK ||
        (asItself != 0 && isLinkHandle(file, info.dwFileAttributes))) {
      CloseHandle(file);
      return makeFailure(FailureCode::NotRegularFile, path);
    }
    if (asItself == 0 || !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) break;
    CloseHandle(file);
  }
  Sha256 hasher;
  FileHash hash;
  const std::size_t size = pieceFor((std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow);
  std::unique_ptr<char[]> buffer(new char[size]);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer.get(), static_cast<DWORD>(size), &got, nullptr)) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return makeFailure(FailureCode::ReadFailed, path, static_cast<int>(error));
    }
    if (got == 0) break;
    hasher.update(buffer.get(), got);
    hash.size += got;
  }
  CloseHandle(file);
  const auto digest = hasher.finish();
  if (!digest) return makeFailure(FailureCode::HashUnavailable, path);
  hash.digest = *digest;
  return hash;
}

#endif

}  // namespace vesk
