#include "package/package_swap.h"

#include "package/manifest_files.h"

#include <algorithm>
#include <utility>

#include "base/atomic_file.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "package/failure_reason.h"
#include "package/manifest_files.h"
#include "package/package_layout.h"
#include "package/package_members.h"

namespace vesk {

namespace {

// Something (a link counts as itself) is at `path`, or what is there cannot be learnt.
bool exists(const std::string& path) {
  const Result<EntryType> type = entryTypeOf(path);
  return type || type.failure().code != FailureCode::NotFound;
}

// Every move goes to a name found free: one that is taken fails rather than replaces.
// Moves by one rename: 0 when done, else the system's error (at least 1).
int move(const std::string& from, const std::string& to) {
  const Status moved = renamePath(from, to);
  return moved ? 0 : std::max(moved.failure().systemError, 1);
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool isMovedTarget(const ReplaceJournal& journal, const std::string& name) {
  return std::any_of(journal.moved.begin(), journal.moved.end(),
                     [&](const auto& pair) { return pair.second == name; });
}

bool isMovedSource(const ReplaceJournal& journal, const std::string& name) {
  return std::any_of(journal.moved.begin(), journal.moved.end(),
                     [&](const auto& pair) { return pair.first == name; });
}

// The order the earlier members move aside: the folders that move to another number
// first, then the document (moving it aside ends the earlier package), then the rest.
// The last one is never a folder renamed on: while it is aside, every earlier member
// has left the destination.
std::vector<std::string> asideOrder(const ReplaceJournal& journal) {
  std::vector<std::string> order;
  for (const auto& [from, to] : journal.moved) {
    if (contains(journal.earlier, from)) order.push_back(from);
  }
  if (contains(journal.earlier, kDocumentName)) order.push_back(kDocumentName);
  for (const auto& name : journal.earlier) {
    if (name != kDocumentName && !isMovedSource(journal, name)) order.push_back(name);
  }
  return order;
}

// The order the new members move in: the built ones, the renamed folders, then the
// document, which completes the package.
std::vector<std::string> moveInOrder(const ReplaceJournal& journal) {
  std::vector<std::string> order;
  for (const auto& name : journal.incoming) {
    if (name != kDocumentName && !isMovedTarget(journal, name)) order.push_back(name);
  }
  for (const auto& [from, to] : journal.moved) {
    if (contains(journal.incoming, to)) order.push_back(to);
  }
  if (contains(journal.incoming, kDocumentName)) order.push_back(kDocumentName);
  return order;
}

// True while every earlier member has left the destination: the last to move aside
// is aside (see asideOrder). A renamed folder found in the destination then is in.
bool earlierAllAside(const std::string& working, const ReplaceJournal& journal) {
  const std::vector<std::string> order = asideOrder(journal);
  return !order.empty() && !isMovedSource(journal, order.back()) &&
         exists(joinPath(joinPath(working, kAsideFolderName), order.back()));
}

// True when the earlier folder `from`, renamed on, has taken its new name: every
// earlier member had left the destination before the renames, and it is no longer
// aside under its old name.
bool renamed(const std::string& working, const ReplaceJournal& journal, const std::string& from) {
  return earlierAllAside(working, journal) &&
         !exists(joinPath(joinPath(working, kAsideFolderName), from));
}

// True when the destination's member `name` is the new one: it has left the working
// folder, and the earlier member of that name, if any, is aside. A name an earlier
// folder was renamed to or from may no longer be found aside under that name (the
// folder has taken its new one): there every earlier member must be aside. A name an
// earlier folder is renamed to is in the working folder only from its rename on:
// before that, whatever is at it in the destination is someone else's.
bool movedIn(const std::string& destination, const std::string& working,
             const ReplaceJournal& journal, const std::string& name) {
  if (exists(joinPath(working, name)) || !exists(joinPath(destination, name))) return false;
  for (const auto& [from, to] : journal.moved) {
    if (to == name && !renamed(working, journal, from)) return false;
  }
  return !contains(journal.earlier, name) ||
         exists(joinPath(joinPath(working, kAsideFolderName), name)) ||
         ((isMovedTarget(journal, name) || isMovedSource(journal, name)) &&
          earlierAllAside(working, journal));
}

// What an undo would take away that the interrupted run did not make: anything put
// into one of its new entry folders after it moved in (they go back into the working
// folder, which is removed). Weighed against the run's own manifest: its copy beside
// the journal, else the manifest where it lies now; without one that can be read,
// nothing can be told apart and nothing is named.
std::vector<std::string> strangersInMovedIn(const std::string& destination,
                                            const std::string& working,
                                            const ReplaceJournal& journal) {
  std::vector<std::string> found;
  auto listed = manifestListedFilesAt(joinPath(working, kIncomingManifestName));
  if (!listed) {
    const bool manifestIn = movedIn(destination, working, journal, kManifestName);
    listed = manifestListedFiles(manifestIn ? destination : working);
  }
  if (!listed) return found;
  for (const auto& name : journal.incoming) {
    // A folder renamed on goes back as the earlier one, whatever it holds.
    if (!isEntryFolderName(name) || isMovedTarget(journal, name) ||
        !movedIn(destination, working, journal, name)) {
      continue;
    }
    for (auto& path : unlistedInEntryFolder(joinPath(destination, name), name, *listed)) {
      found.push_back(std::move(path));
    }
  }
  return found;
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
  // Nothing moves while the undo would take away what someone put into the new package.
  if (!strangersInMovedIn(destination, working, journal).empty()) return Undo::Failed;
  std::vector<std::string> order = moveInOrder(journal);
  std::reverse(order.begin(), order.end());
  for (const auto& name : order) {
    if (!movedIn(destination, working, journal, name)) continue;
    if (!steps.proceed("move back " + name)) return Undo::Killed;
    if (move(joinPath(destination, name), joinPath(working, name)) != 0) return Undo::Failed;
  }
  const std::string aside = joinPath(working, kAsideFolderName);
  // A moved folder back out of the working folder, as the earlier member it was.
  for (const auto& [from, to] : journal.moved) {
    if (!exists(joinPath(working, to)) || exists(joinPath(aside, from))) continue;
    if (!steps.proceed("move back " + to + " as " + from)) return Undo::Killed;
    if (move(joinPath(working, to), joinPath(aside, from)) != 0) return Undo::Failed;
  }
  // The last aside first, so that a renamed folder is never taken for a new member
  // once an earlier one is back.
  std::vector<std::string> back = asideOrder(journal);
  std::reverse(back.begin(), back.end());
  // Something else took a name meanwhile: not Vesk's to move away. Every earlier member
  // then stays aside, with the journal, until the way is free: a part put back would
  // look like the earlier package without being it.
  for (const auto& name : back) {
    if (exists(joinPath(aside, name)) && exists(joinPath(destination, name))) return Undo::Failed;
  }
  for (const auto& name : back) {
    if (!exists(joinPath(aside, name))) continue;
    if (exists(joinPath(destination, name))) return Undo::Failed;
    if (!steps.proceed("put back " + name)) return Undo::Killed;
    if (move(joinPath(aside, name), joinPath(destination, name)) != 0) return Undo::Failed;
  }
  return Undo::Done;
}

}  // namespace

std::string swapFailureText(const std::string& text, const SwapReport& swap) {
  return withReason(text + swap.failedPath, swap.error != 0 ? systemReason(swap.error) : "");
}

SwapReport swapPackageIn(const std::string& destination, WorkingFolder& folder,
                         const ReplaceJournal& journal, const FileOperations& operations,
                         StepCounter& steps) {
  SwapReport report;
  const auto killed = [&] {
    report.outcome = SwapOutcome::Killed;
    return report;
  };
  const auto failed = [&](const std::string& path, int error = 0) {
    StepCounter undoSteps(StepHook{});
    const bool undone = undoSwap(destination, folder.path, journal, undoSteps) == Undo::Done;
    report.outcome = undone ? SwapOutcome::Failed : SwapOutcome::UndoFailed;
    report.failedPath = path;
    report.error = error;
    return report;
  };
  if (!steps.proceed("write the journal")) return killed();
  // The new package's file list first, where only Vesk writes: an undo tells by it what
  // someone put into the new entry folders, also once the manifest has moved in.
  if (contains(journal.incoming, kManifestName)) {
    const std::string copy = joinPath(folder.path, kIncomingManifestName);
    const Result<std::string> manifest = readFile(joinPath(folder.path, kManifestName));
    if (!manifest || !writeFileAtomically(copy, *manifest)) return failed(copy);
  }
  if (!writeJournal(folder.path, journal)) return failed(joinPath(folder.path, kJournalName));
  const std::string aside = joinPath(folder.path, kAsideFolderName);
  if (!journal.earlier.empty()) {
    if (!steps.proceed("make the aside folder")) return killed();
    if (!createDirectory(aside)) return failed(aside);
  }
  for (const auto& name : asideOrder(journal)) {
    if (!steps.proceed("move aside " + name)) return killed();
    if (const int error = move(joinPath(destination, name), joinPath(aside, name)))
      return failed(joinPath(destination, name), error);
  }
  // An entry that moved to another number takes its new name in the working folder and
  // then comes in with the new members.
  for (const auto& [from, to] : journal.moved) {
    if (!steps.proceed("rename " + from + " to " + to)) return killed();
    if (const int error = move(joinPath(aside, from), joinPath(folder.path, to))) {
      return failed(joinPath(destination, from), error);
    }
  }
  for (const auto& name : moveInOrder(journal)) {
    if (!steps.proceed("move in " + name)) return killed();
    if (const int error = move(joinPath(folder.path, name), joinPath(destination, name))) {
      return failed(joinPath(destination, name), error);
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
  // The copies are noted once the earlier package is gone (removing its links moves
  // their status change times) and before the lock is let go, so that no other run sees
  // the record change.
  const std::string working = joinPath(folder.path, "");
  if (!removeWorkingFolder(folder, steps,
                           [&] { noteCopiesInPlace(joinPath(destination, ""), working); }) &&
      steps.stopped()) {
    return killed();
  }
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

std::vector<std::string> recoveryBlockers(const std::string& destination) {
  if (pendingRecovery(destination) != Recovery::RolledBack) return {};
  const auto journal = readJournal(workingFolderOf(destination));
  if (!journal) return {};
  return recoveryBlockers(destination, *journal);
}

std::vector<std::string> recoveryBlockers(const std::string& destination,
                                          const ReplaceJournal& journal) {
  std::vector<std::string> blockers;
  const std::string working = workingFolderOf(destination);
  const std::string aside = joinPath(working, kAsideFolderName);
  for (const auto& name : asideOrder(journal)) {
    const std::string path = joinPath(destination, name);
    // What goes back: a member aside, or a folder renamed on, which first returns aside
    // under its old name. A new member there goes back into the working folder first,
    // freeing the name.
    const bool returns = exists(joinPath(aside, name)) ||
                         (isMovedSource(journal, name) && renamed(working, journal, name));
    const bool newMember =
        contains(journal.incoming, name) && movedIn(destination, working, journal, name);
    if (returns && exists(path) && !newMember) blockers.push_back(path);
  }
  for (auto& stranger : strangersInMovedIn(destination, working, journal)) {
    blockers.push_back(std::move(stranger));
  }
  return blockers;
}

std::map<std::string, std::string> placesBeforeUndo(const std::string& destination,
                                                    const ReplaceJournal& journal) {
  std::map<std::string, std::string> places;
  const std::string working = workingFolderOf(destination);
  const std::string aside = joinPath(working, kAsideFolderName);
  for (const auto& name : journal.incoming) {
    if (movedIn(destination, working, journal, name)) places[name] = "";
  }
  for (const auto& name : journal.earlier) {
    if (exists(joinPath(aside, name))) {
      places[name] = joinPath(aside, name);
      continue;
    }
    for (const auto& [from, to] : journal.moved) {
      if (from != name || !renamed(working, journal, from)) continue;
      places[name] = movedIn(destination, working, journal, to) ? joinPath(destination, to)
                                                                : joinPath(working, to);
    }
  }
  return places;
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
    case WorkingFolderOpening::Gone:
      // Its run finished meanwhile and removed it.
      return Recovery::NothingFound;
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
  // The copies' status change times are not noted here: a copy changed since the run
  // was killed could not be told from one the run made. Those not noted are copied again
  // by the next replace.
  if (!removeWorkingFolder(folder, steps)) return Recovery::Failed;
  return done;
}

}  // namespace vesk
