#include <windows.h>

#include <memory>

#include "base/file_kind.h"
#include "base/file_pieces.h"
#include "base/file_system.h"

namespace vesk {

namespace {

constexpr DWORD kPiece = DWORD{1} << 20;

Failure lastFailureOf(const std::string& path) {
  const DWORD error = GetLastError();
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  return makeFailure(missing ? FailureCode::NotFound : FailureCode::ReadFailed, path,
                     static_cast<int>(error));
}

}  // namespace

Status readFileInPieces(const std::string& path, const FilePiece& piece, std::uint64_t* sizeHint,
                        const std::atomic<bool>* stop) {
  const HANDLE file =
      CreateFileW(win32Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (auto refused = wholeReadRefusal(file, path)) {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return *refused;
  }
  if (file == INVALID_HANDLE_VALUE) return lastFailureOf(path);
  const std::unique_ptr<void, decltype(&CloseHandle)> closer(file, &CloseHandle);
  LARGE_INTEGER size;
  if (sizeHint != nullptr && GetFileSizeEx(file, &size)) {
    *sizeHint = static_cast<std::uint64_t>(size.QuadPart);
  }
  const std::unique_ptr<char[]> buffer(new char[kPiece]);
  unsigned long long total = 0;
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, buffer.get(), kPiece, &n, nullptr)) return lastFailureOf(path);
    if (n == 0) break;
    total += n;
    if (total > kMaxReadBytes)
      return makeFailure(FailureCode::ReadFailed, path, ERROR_FILE_TOO_LARGE);
    piece(std::string_view(buffer.get(), n));
    if (stop != nullptr && *stop) return makeFailure(FailureCode::Cancelled, path);
  }
  return {};
}

}  // namespace vesk
