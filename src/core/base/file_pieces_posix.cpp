#include "base/file_pieces.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "base/file_kind.h"

namespace vesk {

namespace {

constexpr std::size_t kPiece = std::size_t{1} << 20;

Failure failureOf(int error, const std::string& path) {
  return makeFailure(error == ENOENT ? FailureCode::NotFound : FailureCode::ReadFailed, path,
                     error);
}

}  // namespace

Status readFileInPieces(const std::string& path, const FilePiece& piece, std::uint64_t* sizeHint,
                        const std::atomic<bool>* stop) {
  // Non-blocking open: a pipe or device is refused below instead of blocking here.
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return failureOf(errno, path);
  const std::unique_ptr<int, void (*)(int*)> closer(&fd, [](int* open) { ::close(*open); });
  struct stat info;
  if (::fstat(fd, &info) != 0) return failureOf(errno, path);
  if (S_ISDIR(info.st_mode)) return makeFailure(FailureCode::NotRegularFile, path, EISDIR);
  if (!S_ISREG(info.st_mode)) return makeFailure(FailureCode::NotRegularFile, path);
  if (static_cast<unsigned long long>(info.st_size) > kMaxReadBytes) {
    return makeFailure(FailureCode::ReadFailed, path, EFBIG);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (sizeHint != nullptr) *sizeHint = static_cast<std::uint64_t>(info.st_size);

  // The size is a hint: read until the end, whatever it says.
  const std::size_t size = info.st_size < static_cast<off_t>(kPiece)
                               ? static_cast<std::size_t>(info.st_size) + 1
                               : kPiece;
  const std::unique_ptr<char[]> buffer(new char[size]);
  unsigned long long total = 0;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.get(), size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return failureOf(errno, path);
    }
    if (n == 0) break;
    total += static_cast<unsigned long long>(n);
    if (total > kMaxReadBytes) return makeFailure(FailureCode::ReadFailed, path, EFBIG);
    piece(std::string_view(buffer.get(), static_cast<std::size_t>(n)));
    if (stop != nullptr && *stop) return makeFailure(FailureCode::Cancelled, path);
  }
  return {};
}

}  // namespace vesk
