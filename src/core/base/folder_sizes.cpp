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

namespace {

// Calls `take` with every entry of `folder` but "." and "..": its name, its type and,
// for a regular file, its status, which is queried relative to the open folder for every
// entry but a folder or link the listing names as such.
template <typename Take>
Status forEachEntry(const std::string& folder, const Take& take) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    const int error = errno;
    const FailureCode code = error == ENOENT    ? FailureCode::NotFound
                             : error == ENOTDIR ? FailureCode::NotRegularFile
                                                : FailureCode::ReadFailed;
    return makeFailure(code, folder, error);
  }
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir);
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    EntryType type = EntryType::Other;
    if (entry->d_type == DT_DIR) {
      type = EntryType::Folder;
    } else if (entry->d_type == DT_LNK) {
      type = EntryType::Link;
    } else {
      // A file's size (and the type where the listing leaves it open) needs its status.
      if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        if (error == ENOENT) continue;
        ::closedir(dir);
        return makeFailure(FailureCode::ReadFailed, joinPath(folder, std::string(name)), error);
      }
      if (S_ISREG(info.st_mode)) {
        type = EntryType::File;
      } else if (S_ISDIR(info.st_mode)) {
        type = EntryType::Folder;
      } else if (S_ISLNK(info.st_mode)) {
        type = EntryType::Link;
      }
    }
    take(name, type, info);
  }
  const int error = errno;
  ::closedir(dir);
  if (error != 0) return makeFailure(FailureCode::ReadFailed, folder, error);
  return {};
}

}  // namespace

Result<std::vector<SizedEntry>> listFolderSizes(const std::string& folder) {
  std::vector<SizedEntry> entries;
  const Status listed =
      forEachEntry(folder, [&](std::string_view name, EntryType type, const struct stat& info) {
        const std::uint64_t size =
            type == EntryType::File ? static_cast<std::uint64_t>(info.st_size) : 0;
        entries.push_back({std::string(name), type, size});
      });
  if (!listed) return listed.failure();
  return entries;
}

Result<std::vector<StampedEntry>> listFolderStamps(const std::string& folder) {
  std::vector<StampedEntry> entries;
  const Status listed =
      forEachEntry(folder, [&](std::string_view name, EntryType type, const struct stat& info) {
        StampedEntry stamped{std::string(name), type, {}};
        if (type == EntryType::File) {
          stamped.stamp.device = static_cast<std::uint64_t>(info.st_dev);
          stamped.stamp.file = static_cast<std::uint64_t>(info.st_ino);
          stamped.stamp.size = static_cast<std::uint64_t>(info.st_size);
          stamped.stamp.modified =
              static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
          stamped.stamp.changed =
              static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
        }
        entries.push_back(std::move(stamped));
      });
  if (!listed) return listed.failure();
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

Result<std::vector<StampedEntry>> listFolderStamps(const std::string& folder) {
  Result<std::vector<FolderEntry>> listed = listFolder(folder);
  if (!listed) return listed.failure();
  std::vector<StampedEntry> entries;
  entries.reserve(listed->size());
  for (FolderEntry& entry : *listed) {
    StampedEntry stamped{std::move(entry.name), entry.type, {}};
    if (stamped.type == EntryType::File) {
      const std::string path = joinPath(folder, stamped.name);
      const auto stamp = fileStampOf(path, Links::DoNotFollow);
      if (!stamp) {
        const Result<EntryType> there = entryTypeOf(path);
        if (!there && there.failure().code == FailureCode::NotFound) continue;
        return makeFailure(FailureCode::ReadFailed, path);
      }
      stamped.stamp = *stamp;
    }
    entries.push_back(std::move(stamped));
  }
  return entries;
}

#endif

}  // namespace vesk
