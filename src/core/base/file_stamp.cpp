#include "base/file_stamp.h"

#ifdef _WIN32
#include <windows.h>

#include "base/file_system.h"
#else
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#ifdef __linux__
#include <linux/fs.h>
#endif
#endif

namespace vesk {

#ifndef _WIN32

std::optional<FileStamp> fileStampOf(const std::string& path, Links links) {
  struct stat status;
  const int looked =
      links == Links::Follow ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status);
  if (looked != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  FileStamp stamp;
  stamp.device = static_cast<std::uint64_t>(status.st_dev);
  stamp.file = static_cast<std::uint64_t>(status.st_ino);
  stamp.size = static_cast<std::uint64_t>(status.st_size);
  stamp.modified =
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
  stamp.changed =
      static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec;
  return stamp;
}

std::optional<FileIdentity> identityOf(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0 || !(S_ISREG(status.st_mode) || S_ISDIR(status.st_mode))) {
    return std::nullopt;
  }
  return FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino)};
}

namespace {

// A reflink of the whole file; false when the file system has none (`declined` set)
// or it fails.
bool reflink(const std::string& from, const std::string& to, bool& declined) {
#ifdef FICLONE
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) return false;
  const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (out < 0) {
    ::close(in);
    return false;
  }
  const bool cloned = ::ioctl(out, FICLONE, in) == 0;
  if (!cloned && (errno == EOPNOTSUPP || errno == ENOTTY || errno == EXDEV || errno == EINVAL ||
                  errno == ENOSYS)) {
    declined = true;
  }
  ::close(in);
  if (::close(out) != 0 || !cloned) {
    ::unlink(to.c_str());
    return false;
  }
  return true;
#else
  (void)from;
  (void)to;
  declined = true;
  return false;
#endif
}

}  // namespace

CloneMethod cloneOrLink(const std::string& from, const std::string& to, bool& noReflink) {
  if (!noReflink && reflink(from, to, noReflink)) return CloneMethod::Reflink;
  if (::link(from.c_str(), to.c_str()) == 0) return CloneMethod::HardLink;
  return CloneMethod::Copy;
}

#else

namespace {

// What the file system tells of the file or folder at `path`, opened for its attributes
// only; a link or other reparse point is followed unless `links` says not to. `link`
// (may be null) learns whether what was opened is a link itself (isLinkHandle).
std::optional<BY_HANDLE_FILE_INFORMATION> informationOf(const std::string& path, Links links,
                                                        bool* link = nullptr,
                                                        std::int64_t* changed = nullptr) {
  const DWORD flags =
      FILE_FLAG_BACKUP_SEMANTICS | (links == Links::Follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  HANDLE file = CreateFileW(win32Path(path).c_str(), FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool read = GetFileInformationByHandle(file, &info) != 0;
  if (read && link != nullptr) *link = isLinkHandle(file, info.dwFileAttributes);
  FILE_BASIC_INFO basic;
  if (read && changed != nullptr &&
      GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
    *changed = basic.ChangeTime.QuadPart;
  }
  CloseHandle(file);
  if (!read || (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE)) return std::nullopt;
  return info;
}

std::uint64_t fileNumberOf(const BY_HANDLE_FILE_INFORMATION& info) {
  return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

}  // namespace

std::optional<FileStamp> fileStampOf(const std::string& path, Links links) {
  bool link = false;
  std::int64_t changed = 0;
  const std::optional<BY_HANDLE_FILE_INFORMATION> info =
      informationOf(path, links, &link, &changed);
  // A cloud placeholder or other reparse point that is no link is the file itself.
  if (!info || (info->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || link) return std::nullopt;
  FileStamp stamp;
  stamp.device = info->dwVolumeSerialNumber;
  stamp.file = fileNumberOf(*info);
  stamp.size = (std::uint64_t{info->nFileSizeHigh} << 32) | info->nFileSizeLow;
  stamp.modified =
      static_cast<std::int64_t>((std::uint64_t{info->ftLastWriteTime.dwHighDateTime} << 32) |
                                info->ftLastWriteTime.dwLowDateTime);
  stamp.changed = changed;
  return stamp;
}

std::optional<FileIdentity> identityOf(const std::string& path) {
  const std::optional<BY_HANDLE_FILE_INFORMATION> info = informationOf(path, Links::Follow);
  if (!info) return std::nullopt;
  return FileIdentity{info->dwVolumeSerialNumber, fileNumberOf(*info)};
}

CloneMethod cloneOrLink(const std::string& from, const std::string& to, bool& noReflink) {
  noReflink = true;  // NTFS has no reflink; ReFS's block cloning is not used
  if (CreateHardLinkW(win32Path(to).c_str(), win32Path(from).c_str(), nullptr)) {
    return CloneMethod::HardLink;
  }
  return CloneMethod::Copy;
}

#endif

}  // namespace vesk
