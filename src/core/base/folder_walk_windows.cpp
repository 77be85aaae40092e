#include <windows.h>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "base/utf8.h"

namespace vesk {

namespace {

Failure lastFailure(FailureCode code, const std::string& path) {
  const DWORD error = GetLastError();
  const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
  return makeFailure(missing ? FailureCode::NotFound : code, path, static_cast<int>(error));
}

// `link`: a link (isLinkByTag), rather than a file or folder that is a reparse point of
// another kind.
EntryType typeOfAttributes(DWORD attributes, bool link) {
  if (link) return EntryType::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryType::Folder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryType::Other;
  return EntryType::File;
}

// Removes one file or link, clearing a read-only attribute that refuses it.
bool removeOne(const std::wstring& path, DWORD attributes) {
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const auto remove = [&] {
    return folder ? RemoveDirectoryW(path.c_str()) : DeleteFileW(path.c_str());
  };
  if (remove()) return true;
  if (GetLastError() != ERROR_ACCESS_DENIED || (attributes & FILE_ATTRIBUTE_READONLY) == 0) {
    return false;
  }
  return SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY) && remove();
}

}  // namespace

Result<EntryType> entryTypeOf(const std::string& path) {
  const std::wstring wide = win32Path(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return lastFailure(FailureCode::ReadFailed, path);
  return typeOfAttributes(attributes, isLinkAt(wide, attributes));
}

Result<std::vector<FolderEntry>> listFolder(const std::string& folder) {
  const DWORD attributes = GetFileAttributesW(win32Path(folder.empty() ? "." : folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return lastFailure(FailureCode::ReadFailed, folder);
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return makeFailure(FailureCode::NotRegularFile, folder, ERROR_DIRECTORY);
  }
  // The pattern is made long as a whole, so that a folder just under the limit whose
  // pattern is over it is still found.
  const std::wstring pattern = win32Path(joinPath(folder.empty() ? "." : folder, "*"));
  WIN32_FIND_DATAW found;
  const HANDLE search =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  std::vector<FolderEntry> entries;
  if (search == INVALID_HANDLE_VALUE) {
    // An empty folder still lists "." and ".."; nothing at all is a failure, except
    // for a root folder, which has neither.
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return entries;
    return lastFailure(FailureCode::ReadFailed, folder);
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    // A listing gives each reparse point's tag.
    entries.push_back(
        {narrow(name), typeOfAttributes(found.dwFileAttributes,
                                        isLinkByTag(found.dwFileAttributes, found.dwReserved0))});
  } while (FindNextFileW(search, &found));
  const DWORD error = GetLastError();
  FindClose(search);
  if (error != ERROR_NO_MORE_FILES) {
    return makeFailure(FailureCode::ReadFailed, folder, static_cast<int>(error));
  }
  return entries;
}

Status renamePath(const std::string& from, const std::string& to) {
  if (MoveFileExW(win32Path(from).c_str(), win32Path(to).c_str(), 0)) return {};
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
    return makeFailure(FailureCode::AlreadyExists, to, static_cast<int>(error));
  }
  return lastFailure(FailureCode::WriteFailed, from);
}

Status removeEmptyFolder(const std::string& path) {
  const std::wstring wide = win32Path(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return lastFailure(FailureCode::WriteFailed, path);
  // A junction or link to a folder is no folder of its own: left as it is.
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || isLinkAt(wide, attributes)) {
    return makeFailure(FailureCode::WriteFailed, path, ERROR_DIRECTORY);
  }
  if (!RemoveDirectoryW(wide.c_str())) return lastFailure(FailureCode::WriteFailed, path);
  return {};
}

Status removeTree(const std::string& path) {
  const std::wstring wide = win32Path(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return lastFailure(FailureCode::WriteFailed, path);
  }
  // A link or junction to a folder is removed as itself, never entered.
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !isLinkAt(wide, attributes)) {
    const Result<std::vector<FolderEntry>> entries = listFolder(path);
    if (!entries) return entries.failure();
    for (const FolderEntry& entry : *entries) {
      if (const Status removed = removeTree(joinPath(path, entry.name)); !removed) return removed;
    }
  }
  if (!removeOne(wide, attributes)) return lastFailure(FailureCode::WriteFailed, path);
  return {};
}

}  // namespace vesk
