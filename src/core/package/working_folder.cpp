#include "package/working_folder.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "base/file_system.h"
#include "base/path_terms.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

std::string join(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (!path.empty() && !isPathSeparator(path.back())) path += kPathSeparator;
  return path + name;
}

// The kind of the path itself, a link not followed.
fs::file_type ownKind(const std::string& path) {
  std::error_code ec;
  return fs::symlink_status(toFsPath(path), ec).type();
}

// True when the folder holds nothing but, at most, a regular lock file: what a run
// killed between making the folder and writing its marker leaves.
bool unfinishedLeftover(const std::string& folder) {
  std::error_code ec;
  int count = 0;
  for (fs::directory_iterator it(toFsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
    if (++count > 1 || fromFsPath(it->path().filename()) != kWorkingLockName) return false;
  }
  return !ec && (count == 0 || ownKind(join(folder, kWorkingLockName)) == fs::file_type::regular);
}

}  // namespace

std::string workingFolderOf(const std::string& destination) {
  return join(destination, kWorkingFolderName);
}

WorkingFolderState inspectWorkingFolder(const std::string& destination) {
  const std::string folder = workingFolderOf(destination);
  const fs::file_type kind = ownKind(folder);
  if (kind == fs::file_type::not_found) return WorkingFolderState::Absent;
  if (kind != fs::file_type::directory) return WorkingFolderState::NotOurs;
  const std::string lock = join(folder, kWorkingLockName);
  if (ownKind(lock) == fs::file_type::regular && lockHeldElsewhere(lock)) {
    return WorkingFolderState::Busy;
  }
  if (ownKind(join(folder, kWorkingMarkerName)) == fs::file_type::regular ||
      unfinishedLeftover(folder)) {
    return WorkingFolderState::Stale;
  }
  return WorkingFolderState::NotOurs;
}

WorkingFolderOpening openWorkingFolder(const std::string& destination, WorkingFolder& folder,
                                       StepCounter& steps, int& error) {
  folder.path = workingFolderOf(destination);
  if (!steps.proceed("make the working folder")) return WorkingFolderOpening::Failed;
  const Status made = createDirectory(folder.path);
  if (!made) {
    if (made.failure().code == FailureCode::AlreadyExists) {
      // Another run made it between the look and now.
      return inspectWorkingFolder(destination) == WorkingFolderState::NotOurs
                 ? WorkingFolderOpening::NotOurs
                 : WorkingFolderOpening::Busy;
    }
    error = made.failure().systemError;
    return WorkingFolderOpening::Failed;
  }
  if (!steps.proceed("lock")) return WorkingFolderOpening::Failed;
  switch (lockFile(join(folder.path, kWorkingLockName), true, folder.lock, error)) {
    case LockAttempt::Acquired:
      break;
    case LockAttempt::Busy:
      return WorkingFolderOpening::Busy;
    case LockAttempt::Failed:
      return WorkingFolderOpening::Failed;
  }
  if (!steps.proceed("write the marker")) return WorkingFolderOpening::Failed;
  std::ofstream marker(toFsPath(join(folder.path, kWorkingMarkerName)), std::ios::binary);
  marker << "Vesk working folder: removed by the next create into this folder.\n";
  marker.close();
  if (!marker) {
    error = errno;
    return WorkingFolderOpening::Failed;
  }
  return WorkingFolderOpening::Opened;
}

WorkingFolderOpening adoptWorkingFolder(const std::string& destination, WorkingFolder& folder) {
  switch (inspectWorkingFolder(destination)) {
    case WorkingFolderState::Absent:
      return WorkingFolderOpening::Failed;
    case WorkingFolderState::Busy:
      return WorkingFolderOpening::Busy;
    case WorkingFolderState::NotOurs:
      return WorkingFolderOpening::NotOurs;
    case WorkingFolderState::Stale:
      break;
  }
  folder.path = workingFolderOf(destination);
  int error = 0;
  // An empty leftover has no lock file yet; one made now is removed with the folder.
  switch (lockFile(join(folder.path, kWorkingLockName), true, folder.lock, error)) {
    case LockAttempt::Acquired:
      return WorkingFolderOpening::Opened;
    case LockAttempt::Busy:
      return WorkingFolderOpening::Busy;
    case LockAttempt::Failed:
      break;
  }
  return WorkingFolderOpening::Failed;
}

bool removeWorkingFolder(WorkingFolder& folder, StepCounter& steps) {
  // Everything but the lock and the marker first, so that a kill midway leaves a
  // folder still recognised as Vesk's.
  std::error_code ec;
  std::vector<fs::path> contents;
  for (fs::directory_iterator it(toFsPath(folder.path), ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = fromFsPath(it->path().filename());
    if (name != kWorkingLockName && name != kWorkingMarkerName) contents.push_back(it->path());
  }
  if (ec) return false;
  bool removed = true;
  for (const auto& item : contents) {
    if (!steps.proceed("remove " + fromFsPath(item.filename()))) return false;
    fs::remove_all(item, ec);  // removes links themselves, never what they lead to
    removed = removed && !ec;
  }
  if (!removed) return false;
  if (!steps.proceed("remove the working folder")) return false;
  fs::remove(toFsPath(join(folder.path, kWorkingMarkerName)), ec);
  // The lock file is removed while its lock is held (Windows deletes it once the handle
  // closes), so that no other run can lock it in between and lose it: a run that makes
  // a new one meanwhile owns the folder, which then stays.
  fs::remove(toFsPath(join(folder.path, kWorkingLockName)), ec);
  folder.lock.release();
  return fs::remove(toFsPath(folder.path), ec) && !ec;
}

}  // namespace vesk
