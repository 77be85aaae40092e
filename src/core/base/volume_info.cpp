#include "base/volume_info.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "base/file_system.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/statvfs.h>
#if defined(__linux__)
#include <sys/vfs.h>
#endif
#include <unistd.h>
#endif

namespace vesk {

namespace {

namespace fs = std::filesystem;

// The nearest existing parent of `folder` (itself when it exists), followed through
// links as the later creation would be. A link on the way that leads nowhere is where
// that creation would stop, its name taken: it is given as it is, `dangling` set.
fs::path nearestExisting(const std::string& folder, bool& dangling) {
  dangling = false;
  std::error_code ec;
  fs::path path = fs::absolute(toFsPath(folder.empty() ? "." : folder), ec);
  if (ec) return {};
  path = path.lexically_normal();
  // pathExists takes the long form on Windows, where fs::exists does not.
  while (!pathExists(fromFsPath(path))) {
    if (fs::is_symlink(fs::symlink_status(toFsPath(fromFsPath(path)), ec))) {
      dangling = true;
      return path;
    }
    if (!path.has_relative_path()) return {};
    path = path.parent_path();
  }
  return path;
}

}  // namespace

#ifndef _WIN32

VolumeInfo volumeInfoOf(const std::string& folder) {
  VolumeInfo info;
  bool dangling = false;
  const fs::path existing = nearestExisting(folder, dangling);
  if (existing.empty()) {
    info.unwritable = ENOENT;
    return info;
  }
  info.existing = fromFsPath(existing);
  if (dangling) {
    info.unwritable = EEXIST;
    return info;
  }
  const std::string native = existing.string();
  std::error_code ec;
  if (!fs::is_directory(existing, ec)) {
    info.unwritable = ENOTDIR;
  } else if (::access(native.c_str(), W_OK | X_OK) != 0) {
    info.unwritable = errno;
  }
  struct statvfs volume;
  if (::statvfs(native.c_str(), &volume) == 0) {
    if (info.unwritable == 0 && (volume.f_flag & ST_RDONLY) != 0) info.unwritable = EROFS;
    const std::uint64_t unit = volume.f_frsize != 0 ? volume.f_frsize : volume.f_bsize;
    info.blockSize = unit;
    info.available = static_cast<std::uint64_t>(volume.f_bavail) * unit;
  }
#if defined(__linux__)
  // The file systems Windows also writes, whose names ignore letter case.
  constexpr unsigned long kMsdos = 0x4d44, kExfat = 0x2011bab0, kNtfs3 = 0x7366746e,
                          kNtfs = 0x5346544e;
  struct statfs kind;
  if (::statfs(native.c_str(), &kind) == 0) {
    const auto type = static_cast<unsigned long>(kind.f_type);
    info.caseInsensitive = type == kMsdos || type == kExfat || type == kNtfs3 || type == kNtfs;
    info.keepsStatusChangeTime = type != kMsdos && type != kExfat;
  }
#endif
  if (const long name = ::pathconf(native.c_str(), _PC_NAME_MAX); name > 0) {
    info.nameMax = static_cast<std::size_t>(name);
  }
  if (const long path = ::pathconf(native.c_str(), _PC_PATH_MAX); path > 0) {
    info.pathMax = static_cast<std::size_t>(path);
  }
  return info;
}

#else

VolumeInfo volumeInfoOf(const std::string& folder) {
  VolumeInfo info;
  // Long paths are opened in their long form, so a path may reach 32,767 units.
  info.pathMax = 32767;
  info.caseInsensitive = true;
  bool dangling = false;
  const fs::path existing = nearestExisting(folder, dangling);
  if (existing.empty()) {
    info.unwritable = ERROR_PATH_NOT_FOUND;
    return info;
  }
  info.existing = fromFsPath(existing);
  if (dangling) {
    info.unwritable = ERROR_ALREADY_EXISTS;
    return info;
  }
  const std::wstring wide = win32Path(info.existing);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    info.unwritable = static_cast<int>(GetLastError());
  } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    info.unwritable = ERROR_DIRECTORY;
  } else {
    // Whether the running user may make files and folders there is the folder's access
    // list to decide: an open asking for those rights asks it, and makes nothing.
    const HANDLE probe = CreateFileW(wide.c_str(), FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      if (code == ERROR_ACCESS_DENIED) info.unwritable = static_cast<int>(code);
    } else {
      CloseHandle(probe);
    }
  }
  ULARGE_INTEGER available;
  if (GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr)) {
    info.available = available.QuadPart;
  }
  wchar_t longRoot[MAX_PATH];
  if (GetVolumePathNameW(wide.c_str(), longRoot, MAX_PATH)) {
    // The volume calls take a root in its classic form: "C:\" or "\\server\share\".
    std::wstring classic = longRoot;
    if (classic.rfind(L"\\\\?\\UNC\\", 0) == 0) {
      classic = L"\\\\" + classic.substr(8);
    } else if (classic.size() >= 6 && classic.rfind(L"\\\\?\\", 0) == 0 && classic[5] == L':') {
      classic = classic.substr(4);
    }
    const wchar_t* const root = classic.c_str();
    DWORD sectors = 0;
    DWORD bytes = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (GetDiskFreeSpaceW(root, &sectors, &bytes, &freeClusters, &clusters)) {
      info.blockSize = static_cast<std::uint64_t>(sectors) * bytes;
    }
    DWORD component = 0;
    DWORD flags = 0;
    if (GetVolumeInformationW(root, nullptr, 0, nullptr, &component, &flags, nullptr, 0)) {
      if (component > 0) info.nameMax = component;
      if (info.unwritable == 0 && (flags & FILE_READ_ONLY_VOLUME) != 0) {
        info.unwritable = ERROR_WRITE_PROTECT;
      }
    }
  }
  return info;
}

#endif

}  // namespace vesk
