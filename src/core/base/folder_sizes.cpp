#include "base/folder_sizes.h"

#ifdef _WIN32
#include "base/file_system.h"
#include "base/path_terms.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "base/path_terms.h"
#endif

namespace vesk {

#ifndef _WIN32

Result<std::vector<SizedEntry>> listFolderSizes(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    const int error = errno;
    const FailureCode code = error == ENOENT    ? FailureCode::NotFound
                             : error == ENOTDIR ? FailureCode::NotRegularFile
                                                : FailureCode::ReadFailed;
    return makeFailure(code, folder, error);
  }
  std::vector<SizedEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    SizedEntry sized{std::string(name), EntryType::Other, 0};
    if (entry->d_type == DT_DIR) {
      sized.type = EntryType::Folder;
    } else if (entry->d_type == DT_LNK) {
      sized.type = EntryType::Link;
    } else {
      // A file's size (and the type where the listing leaves it open) needs its status.
      struct stat info;
      if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        if (error == ENOENT) continue;
        ::closedir(dir);
        return makeFailure(FailureCode::ReadFailed, joinPath(folder, sized.name), error);
      }
      if (S_ISREG(info.st_mode)) {
        sized.type = EntryType::File;
        sized.size = static_cast<std::uint64_t>(info.st_size);
      } else if (S_ISDIR(info.st_mode)) {
        sized.type = EntryType::Folder;
      } else if (S_ISLNK(info.st_mode)) {
        sized.type = EntryType::Link;
      }
    }
    entries.push_back(std::move(sized));
  }
  const int error = errno;
  ::closedir(dir);
  if (error != 0) return makeFailure(FailureCode::ReadFailed, folder, error);
  return entries;
}

#else

Result<std::vector<SizedEntry>> listFolderSizes(const std::string& folder) {
  Result<std::vector<FolderEntry>> listed = listFolder(folder);
  if (!listed) return listed.failure();
  std::vector<SizedEntry> entries;
  entries.reserve(listed->size());
  for (FolderEntry& entry : *listed) {
    SizedEntry sized{std::move(entry.name), entry.type, 0};
    if (sized.type == EntryType::File) {
      const auto size = fileSize(joinPath(folder, sized.name));
      if (!size && size.failure().code == FailureCode::NotFound) continue;
      if (!size) return size.failure();
      sized.size = *size;
    }
    entries.push_back(std::move(sized));
  }
  return entries;
}

#endif

}  // namespace vesk
