#include "package/package_swap.h"

#include <algorithm>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "package/package_layout.h"

namespace vesk {

namespace {

// Something (a link counts as itself) is at `path`, or what is there cannot be learnt.
bool exists(const std::string& path) {
  const Result<EntryType> type = entryTypeOf(path);
  return type || type.failure().code != FailureCode::NotFound;
}

// Every move goes to a name found free: one that is taken fails rather than replaces.
bool move(const std::string& from, const std::string& to) {
  return static_cast<bool>(renamePath(from, to));
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The document first (moving it aside ends the earlier package) or last (moving it in
// completes the new one).
std::vector<std::string> documentFirst(std::vector<std::string> names) {
  std::stable_partition(names.begin(), names.end(),
                        [](const std::string& name) { return name == kDocumentName; });
  return names;
}

std::vector<std::string> documentLast(std::vector<std::string> names) {
  std::stable_partition(names.begin(), names.end(),
                        [](const std::string& name) { return name != kDocumentName; });
  return names;
}

// True when the destination's member `name` is the new one: it has left the working
// folder, and the earlier member of that name, if any, is aside.
bool movedIn(const std::string& destination, const std::string& working,
             const ReplaceJournal& journal, const std::string& name) {
  return !exists(joinPath(working, name)) && exists(joinPath(destination, name)) &&
         (!contains(journal.earlier, name) ||
          exists(joinPath(joinPath(working, kAsideFolderName), name)));
}

// The new document is in place: every other new member was moved in before it.
bool swapComplete(const std::string& destination, const std::string& working,
                  const ReplaceJournal& journal) {
  return contains(journal.incoming, kDocumentName) &&
         movedIn(destination, working, journal, kDocumentName);
}

enum class Undo { Done, Killed, Failed };

// Moves every new member back into the working folder and every earlier one back into
// place. Each move is skipped once done, so a run killed here is undone again.
Undo undoSwap(const std::string& destination, const std::string& working,
              const ReplaceJournal& journal, StepCounter& steps) {
  for (const auto& name : documentFirst(journal.incoming)) {
    if (!movedIn(destination, working, journal, name)) continue;
    if (!steps.proceed("move back " + name)) return Undo::Killed;
    if (!move(joinPath(destination, name), joinPath(working, name))) return Undo::Failed;
  }
  const std::string aside = joinPath(working, kAsideFolderName);
  for (const auto& name : journal.earlier) {
    if (!exists(joinPath(aside, name)) || exists(joinPath(destination, name))) continue;
    if (!steps.proceed("put back " + name)) return Undo::Killed;
    if (!move(joinPath(aside, name), joinPath(destination, name))) return Undo::Failed;
  }
  return Undo::Done;
}

}  // namespace

SwapReport swapPackageIn(const std::string& destination, WorkingFolder& folder,
                         const ReplaceJournal& journal, const FileOperations& operations,
                         StepCounter& steps) {
  SwapReport report;
  const auto killed = [&] {
    report.outcome = SwapOutcome::Killed;
    return report;
  };
  const auto failed = [&](const std::string& path) {
    StepCounter undoSteps(StepHook{});
    undoSwap(destination, folder.path, journal, undoSteps);
    report.outcome = SwapOutcome::Failed;
    report.failedPath = path;
    return report;
  };
  if (!steps.proceed("write the journal")) return killed();
  if (!writeJournal(folder.path, journal)) return failed(joinPath(folder.path, kJournalName));
  const std::string aside = joinPath(folder.path, kAsideFolderName);
  if (!journal.earlier.empty()) {
    if (!steps.proceed("make the aside folder")) return killed();
    if (!createDirectory(aside)) return failed(aside);
  }
  for (const auto& name : documentFirst(journal.earlier)) {
    if (!steps.proceed("move aside " + name)) return killed();
    if (!move(joinPath(destination, name), joinPath(aside, name)))
      return failed(joinPath(destination, name));
  }
  for (const auto& name : documentLast(journal.incoming)) {
    if (!steps.proceed("move in " + name)) return killed();
    if (!move(joinPath(folder.path, name), joinPath(destination, name))) {
      return failed(joinPath(destination, name));
    }
  }
  // The new package reaches the disk before the earlier one is given up: a power loss
  // from here on leaves the new package, whole.
  if (!steps.proceed("flush")) return killed();
  if (const Status flushed = operations.flush(destination); !flushed) {
    report.error = flushed.failure().systemError;
    report.outcome = SwapOutcome::Unflushed;
    return report;
  }
  // What is left in the working folder is the earlier package and the run's own files;
  // a removal that fails leaves them to the next run, which finds the swap complete.
  if (!removeWorkingFolder(folder, steps) && steps.stopped()) return killed();
  return report;
}

Recovery pendingRecovery(const std::string& destination) {
  switch (inspectWorkingFolder(destination)) {
    case WorkingFolderState::Absent:
      return Recovery::NothingFound;
    case WorkingFolderState::Busy:
      return Recovery::Busy;
    case WorkingFolderState::NotOurs:
      return Recovery::NotOurs;
    case WorkingFolderState::Stale:
      break;
  }
  const std::string working = workingFolderOf(destination);
  if (!exists(joinPath(working, kJournalName))) return Recovery::Discarded;
  const auto journal = readJournal(working);
  if (!journal) return Recovery::NotOurs;
  return swapComplete(destination, working, *journal) ? Recovery::Completed : Recovery::RolledBack;
}

Recovery recoverInterruptedWork(const std::string& destination, const StepHook& hook) {
  StepCounter steps(hook);
  const Recovery pending = pendingRecovery(destination);
  if (pending == Recovery::NothingFound || pending == Recovery::Busy ||
      pending == Recovery::NotOurs) {
    return pending;
  }
  WorkingFolder folder;
  switch (adoptWorkingFolder(destination, folder)) {
    case WorkingFolderOpening::Opened:
      break;
    case WorkingFolderOpening::Busy:
      return Recovery::Busy;
    case WorkingFolderOpening::NotOurs:
      return Recovery::NotOurs;
    case WorkingFolderOpening::Failed:
      return Recovery::Failed;
  }
  // Decided again under the lock: another run may have finished meanwhile. A journal
  // that cannot be read leaves everything where it is.
  const bool journaled = exists(joinPath(folder.path, kJournalName));
  const auto journal = readJournal(folder.path);
  if (journaled && !journal) return Recovery::Failed;
  if (journal && !swapComplete(destination, folder.path, *journal)) {
    switch (undoSwap(destination, folder.path, *journal, steps)) {
      case Undo::Done:
        break;
      case Undo::Killed:
      case Undo::Failed:
        return Recovery::Failed;
    }
  }
  const Recovery done = !journal                                           ? Recovery::Discarded
                        : swapComplete(destination, folder.path, *journal) ? Recovery::Completed
                                                                           : Recovery::RolledBack;
  if (!removeWorkingFolder(folder, steps)) return Recovery::Failed;
  return done;
}

}  // namespace vesk
