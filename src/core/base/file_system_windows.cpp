#include "base/file_system.h"

#include <windows.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <span>
#include <vector>

#include "base/file_kind.h"
#include "base/path_terms.h"
#include "base/utf8.h"

namespace vesk {

namespace {

bool isSlash(wchar_t c) {
  return c == L'\\' || c == L'/';
}

}  // namespace

bool isLinkByTag(unsigned long attributes, unsigned long tag) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  return tag == 0 || IsReparseTagNameSurrogate(tag);
}

bool isLinkHandle(void* file, unsigned long attributes) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  FILE_ATTRIBUTE_TAG_INFO info;
  if (!GetFileInformationByHandleEx(file, FileAttributeTagInfo, &info, sizeof info)) return true;
  return isLinkByTag(attributes, info.ReparseTag);
}

bool isLinkAt(const std::wstring& path, unsigned long attributes) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  HANDLE file = CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return true;  // cannot tell: never followed
  const bool link = isLinkHandle(file, attributes);
  CloseHandle(file);
  return link;
}

std::wstring win32Path(const std::string& path) {
  const std::wstring wide = widen(path);
  const bool drive = wide.size() >= 3 && wide[1] == L':' && isSlash(wide[2]) &&
                     ((wide[0] >= L'A' && wide[0] <= L'Z') || (wide[0] >= L'a' && wide[0] <= L'z'));
  // "\\server\share", but not "\\?\" or "\\.\" forms that are long or devices already.
  const bool unc = wide.size() >= 3 && isSlash(wide[0]) && isSlash(wide[1]) && wide[2] != L'?' &&
                   wide[2] != L'.';
  if (!drive && !unc) return wide;
  // The long form takes every character literally: GetFullPathNameW first turns "/"
  // into "\\" and resolves "." and "..", with no length limit of its own.
  DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return wide;
  std::wstring full(size, L'\0');
  size = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) return wide;
  full.resize(size);
  // A device name (C:\x\nul.png) comes back as a device path (\\.\nul), which takes
  // no prefix.
  if (full.size() >= 4 && isSlash(full[0]) && isSlash(full[1]) &&
      (full[2] == L'.' || full[2] == L'?') && isSlash(full[3])) {
    return full;
  }
  return unc ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

namespace {

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  void close() {
    if (valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  // Closes the handle; false (GetLastError telling why) when the close failed, as it
  // may for a write the system had deferred.
  bool closeChecked() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || handle == nullptr || CloseHandle(handle);
  }

 private:
  HANDLE handle_;
};

// True when both paths name the same file.
bool sameFile(const std::wstring& a, const std::wstring& b) {
  const auto open = [](const std::wstring& path) {
    return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  };
  Handle first(open(a));
  Handle second(open(b));
  BY_HANDLE_FILE_INFORMATION x;
  BY_HANDLE_FILE_INFORMATION y;
  return first.valid() && second.valid() && GetFileInformationByHandle(first.get(), &x) &&
         GetFileInformationByHandle(second.get(), &y) &&
         x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

enum class CopyEnd { Done, Failed, Stopped };

// Copies the open source into the open target piece by piece, reporting each piece:
// CopyFileExW's progress routine cannot be relied on (Wine never calls it). Stops
// when `progress` returns false after a piece.
CopyEnd copyContent(HANDLE in, HANDLE out, const CopyProgress& progress,
                    const CopyContent& content) {
  constexpr DWORD kPiece = 1 << 20;
  static_assert(kPiece <= kCopyPieceBytes);
  std::vector<char> buffer;
  for (;;) {
    // A watcher that gives room has each piece read straight into it.
    std::span<char> room;
    if (content.room) {
      room = content.room();
    } else {
      if (buffer.empty()) buffer.resize(kPiece);
      room = buffer;
    }
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(room.size(), kPiece));
    DWORD got = 0;
    if (!ReadFile(in, room.data(), wanted, &got, nullptr)) return CopyEnd::Failed;
    if (got == 0) return CopyEnd::Done;
    DWORD written = 0;
    if (!WriteFile(out, room.data(), got, &written, nullptr) || written != got) {
      return CopyEnd::Failed;
    }
    if (content) content.written(std::string_view(room.data(), got));
    if (progress && !progress(got)) return CopyEnd::Stopped;
  }
}

// A failure with the error the system reported last.
Failure lastFailure(FailureCode code, const std::string& path) {
  const DWORD error = GetLastError();
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  return makeFailure(missing ? FailureCode::NotFound : code, path, static_cast<int>(error));
}

}  // namespace

std::filesystem::path toFsPath(const std::string& path) {
  return std::filesystem::path(widen(path));
}

std::filesystem::path toOpenablePath(const std::string& path) {
  return std::filesystem::path(win32Path(path));
}

std::string fromFsPath(const std::filesystem::path& path) {
  return narrow(path.native());
}

Status createDirectory(const std::string& path) {
  if (CreateDirectoryW(win32Path(path).c_str(), nullptr)) return {};
  return lastFailure(GetLastError() == ERROR_ALREADY_EXISTS ? FailureCode::AlreadyExists
                                                            : FailureCode::WriteFailed,
                     path);
}

Status copyFile(const std::string& from, const std::string& to, const CopyProgress& progress,
                const CopyContent& content) {
  const std::wstring source = win32Path(from);
  const std::wstring target = win32Path(to);
  const DWORD attributes = GetFileAttributesW(source.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return lastFailure(FailureCode::ReadFailed, from);
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return makeFailure(FailureCode::NotRegularFile, from);
  if (sameFile(source, target)) return {};
  const Handle in(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!in.valid()) return lastFailure(FailureCode::ReadFailed, from);
  Handle out(CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out.valid()) return lastFailure(FailureCode::WriteFailed, to);
  const CopyEnd end = copyContent(in.get(), out.get(), progress, content);
  if (end == CopyEnd::Stopped) {
    // The copy made or truncated the target: what is left of it is a partial copy.
    out.close();
    DeleteFileW(target.c_str());
    return makeFailure(FailureCode::Cancelled, to);
  }
  if (end == CopyEnd::Failed) return lastFailure(FailureCode::WriteFailed, to);
  // Like CopyFileW, the copy keeps the source's time of last change.
  FILETIME written;
  if (GetFileTime(in.get(), nullptr, nullptr, &written)) {
    SetFileTime(out.get(), nullptr, nullptr, &written);
  }
  // A deferred write (a network share, a removable drive) may fail only at the close:
  // the copy is done once the close is.
  if (!out.closeChecked()) return lastFailure(FailureCode::WriteFailed, to);
  return {};
}

bool isDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(win32Path(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool pathExists(const std::string& path) {
  return GetFileAttributesW(win32Path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Result<std::uint64_t> fileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(win32Path(path).c_str(), GetFileExInfoStandard, &data)) {
    return lastFailure(FailureCode::ReadFailed, path);
  }
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    return makeFailure(FailureCode::NotRegularFile, path);
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<Failure> wholeReadRefusal(void* file, const std::string& path) {
  if (file == INVALID_HANDLE_VALUE) {
    // A folder cannot be opened as a file: the open says access denied.
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(win32Path(path).c_str());
    SetLastError(error);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return makeFailure(FailureCode::NotRegularFile, path);
    }
    return std::nullopt;
  }
  if (GetFileType(file) != FILE_TYPE_DISK) return makeFailure(FailureCode::NotRegularFile, path);
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size) &&
      static_cast<unsigned long long>(size.QuadPart) > kMaxReadBytes) {
    return makeFailure(FailureCode::ReadFailed, path, ERROR_FILE_TOO_LARGE);
  }
  return std::nullopt;
}

Result<std::string> readFile(const std::string& path) {
  Handle file(CreateFileW(win32Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (auto refused = wholeReadRefusal(file.get(), path)) return *refused;
  if (!file.valid()) return lastFailure(FailureCode::ReadFailed, path);
  std::string content;
  char buffer[1 << 16];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) {
      return lastFailure(FailureCode::ReadFailed, path);
    }
    if (n == 0) break;
    content.append(buffer, n);
    // The size is a hint: a file that grows past the limit while read is refused too.
    if (content.size() > kMaxReadBytes) {
      return makeFailure(FailureCode::ReadFailed, path, ERROR_FILE_TOO_LARGE);
    }
  }
  return content;
}

Result<std::vector<std::string>> findMatching(const std::string& pattern) {
  const std::string folder = folderOf(pattern);
  std::vector<std::string> paths;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(win32Path(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    // A folder that is there but holds nothing matching says "file not found".
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return paths;
    return lastFailure(FailureCode::ReadFailed, folder);
  }
  do {
    paths.push_back(folder + narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  const DWORD error = GetLastError();
  FindClose(search);
  if (error != ERROR_NO_MORE_FILES) {
    return makeFailure(FailureCode::ReadFailed, folder, static_cast<int>(error));
  }
  return paths;
}

std::vector<std::string> listPattern(const std::string& pattern) {
  Result<std::vector<std::string>> found = findMatching(pattern);
  return found ? std::move(*found) : std::vector<std::string>{};
}

std::string programFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::string folder = folderOf(narrow(buffer));
  return folder.empty() ? folder : folder.substr(0, folder.size() - 1);
}

}  // namespace vesk
