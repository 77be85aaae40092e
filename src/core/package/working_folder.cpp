#include "package/working_folder.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include "base/file_system.h"
#include "base/file_system_flush.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "package/replace_journal.h"

namespace vesk {

namespace {

constexpr std::chrono::milliseconds kLongestPause{20};

// The kind of the path itself, a link not followed; nothing when it cannot be learnt.
std::optional<EntryType> ownKind(const std::string& path) {
  const Result<EntryType> type = entryTypeOf(path);
  if (!type) return std::nullopt;
  return *type;
}

// True when the folder holds nothing but, at most, a regular lock file, empty as Vesk
// makes it: what a run killed between making the folder and writing its marker
// leaves. A folder that cannot be listed is not known to be one.
bool unfinishedLeftover(const std::string& folder) {
  const Result<std::vector<FolderEntry>> entries = listFolder(folder);
  if (!entries) return false;
  if (entries->empty()) return true;
  const std::string lock = joinPath(folder, kWorkingLockName);
  const auto size = fileSize(lock);
  return entries->size() == 1 && entries->front().name == kWorkingLockName &&
         ownKind(lock) == EntryType::File && size && *size == 0;
}

// Takes the lock of the working folder at folder.path, asking again for up to half a
// second while the attempt is refused (when Busy only if `againWhenBusy`; when Failed
// always) and the folder is still there. Gone when the folder went meanwhile.
WorkingFolderOpening takeLock(WorkingFolder& folder, int& error, bool againWhenBusy) {
  const std::string lock = joinPath(folder.path, kWorkingLockName);
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  for (auto pause = std::chrono::milliseconds(1);; pause = std::min(pause * 2, kLongestPause)) {
    const LockAttempt attempt = lockFile(lock, true, folder.lock, error);
    if (attempt == LockAttempt::Acquired) return WorkingFolderOpening::Opened;
    if (!isDirectory(folder.path)) return WorkingFolderOpening::Gone;
    const bool again = attempt == LockAttempt::Failed || againWhenBusy;
    if (!again || std::chrono::steady_clock::now() >= until) {
      return attempt == LockAttempt::Busy ? WorkingFolderOpening::Busy
                                          : WorkingFolderOpening::Failed;
    }
    std::this_thread::sleep_for(pause);
  }
}

}  // namespace

std::string workingFolderOf(const std::string& destination) {
  return joinPath(destination, kWorkingFolderName);
}

WorkingFolderState inspectWorkingFolder(const std::string& destination) {
  const std::string folder = workingFolderOf(destination);
  const Result<EntryType> kind = entryTypeOf(folder);
  // A path that cannot be looked at (a name too long, a loop of links, no access on the
  // way) holds nothing a run left: the create meets the reason itself, and says it.
  if (!kind) return WorkingFolderState::Absent;
  if (*kind != EntryType::Folder) return WorkingFolderState::NotOurs;
  const std::string lock = joinPath(folder, kWorkingLockName);
  if (ownKind(lock) == EntryType::File && lockHeldElsewhere(lock)) {
    return WorkingFolderState::Busy;
  }
  if (ownKind(joinPath(folder, kWorkingMarkerName)) == EntryType::File ||
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
  // Until the marker is written, another run that comes upon the folder takes its lock
  // for a moment to learn whether it is held; and a run recovering the destination may
  // take the folder over as a leftover, and removes it. So a lock refused here is asked
  // for again for a while: a look lets go at once, and a run that took the folder over
  // either removes it (this run then refuses, as busy) or leaves it to the lock file
  // this run makes anew.
  const WorkingFolderOpening locked = takeLock(folder, error, true);
  if (locked == WorkingFolderOpening::Gone) return WorkingFolderOpening::Busy;
  if (locked != WorkingFolderOpening::Opened) return locked;
  if (!steps.proceed("write the marker")) return WorkingFolderOpening::Failed;
  std::ofstream marker(toOpenablePath(joinPath(folder.path, kWorkingMarkerName)), std::ios::binary);
  marker << "Vesk working folder: removed by the next create into this folder.\n";
  marker.close();
  if (!marker) {
    error = errno;
    return WorkingFolderOpening::Failed;
  }
  return WorkingFolderOpening::Opened;
}

WorkingFolderOpening adoptWorkingFolder(const std::string& destination, WorkingFolder& folder,
                                        const std::function<void()>& afterLook) {
  switch (inspectWorkingFolder(destination)) {
    case WorkingFolderState::Absent:
      return WorkingFolderOpening::Gone;
    case WorkingFolderState::Busy:
      return WorkingFolderOpening::Busy;
    case WorkingFolderState::NotOurs:
      return WorkingFolderOpening::NotOurs;
    case WorkingFolderState::Stale:
      break;
  }
  if (afterLook) afterLook();
  folder.path = workingFolderOf(destination);
  int error = 0;
  // An empty leftover has no lock file yet; one made now is removed with the folder. A
  // run removing its folder deletes its lock file while it holds it, and on Windows the
  // file cannot be opened until that run lets go: asked again for a while.
  return takeLock(folder, error, false);
}

bool removeWorkingFolder(WorkingFolder& folder, StepCounter& steps,
                         const std::function<void()>& beforeLetGo) {
  // A swap's journal goes first, and durably: the next run weighs a journal against
  // the earlier members aside, which must then still all be there, while it discards a
  // working folder without one whole. Removed in the listing's order, the earlier
  // members could go before it, and a kill then would undo a finished swap.
  const std::string journal = joinPath(folder.path, kJournalName);
  if (pathExists(journal)) {
    if (!steps.proceed(std::string("remove ") + kJournalName)) return false;
    if (!removeTree(journal) || !flushFileSystem(folder.path)) return false;
  }
  // Then everything but the lock and the marker, so that a kill midway leaves a folder
  // still recognised as Vesk's.
  const Result<std::vector<FolderEntry>> entries = listFolder(folder.path);
  if (!entries) return false;
  std::vector<std::string> contents;
  for (const FolderEntry& entry : *entries) {
    if (entry.name != kWorkingLockName && entry.name != kWorkingMarkerName) {
      contents.push_back(entry.name);
    }
  }
  bool removed = true;
  for (const auto& name : contents) {
    if (!steps.proceed("remove " + name)) return false;
    // Links inside are removed as links, never what they lead to.
    removed = removeTree(joinPath(folder.path, name)) && removed;
  }
  if (!removed) return false;
  if (beforeLetGo) beforeLetGo();
  if (!steps.proceed("remove the working folder")) return false;
  (void)removeTree(joinPath(folder.path, kWorkingMarkerName));
  // The lock file is removed while its lock is held (Windows deletes it once the handle
  // closes), so that no other run can lock it in between and lose it: a run that makes
  // a new one meanwhile owns the folder, which then stays.
  (void)removeTree(joinPath(folder.path, kWorkingLockName));
  folder.lock.release();
  return static_cast<bool>(removeEmptyFolder(folder.path));
}

}  // namespace vesk
