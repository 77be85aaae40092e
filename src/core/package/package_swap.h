#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/file_operations.h"
#include "package/replace_journal.h"
#include "package/working_folder.h"

namespace vesk {

enum class SwapOutcome {
  Done,    // the new package is in place and the working folder removed
  Killed,  // the step hook ended the run: everything stays as it is
  Failed,  // a move failed: the destination was brought back as it was
  // A move failed and so did bringing the destination back: the working folder keeps
  // its journal and what is aside, for the next run to finish the undo.
  UndoFailed,
  Unflushed,  // the new package is in place but the flush failed: the working folder stays
};

struct SwapReport {
  SwapOutcome outcome = SwapOutcome::Done;
  std::string failedPath;  // Failed, UndoFailed: the member whose move failed
  int error = 0;           // the system's error: of the flush, or of the move that failed
                           // (0 when not known)
};

// The operator's line for a swap that failed: `text`, the member whose move failed and,
// where the system gave one, its reason on the next line.
std::string swapFailureText(const std::string& text, const SwapReport& swap);

// Moves the package finished in the held working folder into its destination: writes
// the journal durably, moves the earlier members `journal.earlier` aside into the
// working folder (the document first), the new ones `journal.incoming` in (the
// document last: moving it in completes the package), flushes the file system and
// removes the working folder with the earlier members. Every step goes through
// `steps`. A move that fails is undone at once (Failed, or UndoFailed when the undo
// cannot finish: nothing aside is then removed).
SwapReport swapPackageIn(const std::string& destination, WorkingFolder& folder,
                         const ReplaceJournal& journal, const FileOperations& operations,
                         StepCounter& steps);

enum class Recovery {
  NothingFound,  // no working folder
  Discarded,     // a working folder without a swap begun was removed; the folder is as it was
  RolledBack,    // a swap had not finished: the earlier members were put back
  Completed,     // a swap had finished: the new package stays, the earlier one was removed
  Busy,          // another run holds the working folder: nothing was touched
  NotOurs,       // something without the marker lies at the working folder's place
  Failed,        // a move or removal failed: what is left is recovered by the next run
};

// What recoverInterruptedWork would do in `destination` now (NothingFound, Discarded,
// RolledBack, Completed, Busy or NotOurs). Reads only.
Recovery pendingRecovery(const std::string& destination);

// What keeps the undo of a swap interrupted in `destination` from finishing: each path
// in the destination where an earlier member waiting aside is to go back, taken meanwhile
// by something that is not the new package's (the undo moves nothing else away), and
// everything put meanwhile into a new entry folder that had moved in, which its manifest
// does not list (the undo would remove it with the new package). Empty when nothing is
// in the way, or no swap is to be undone. Reads only.
std::vector<std::string> recoveryBlockers(const std::string& destination);

// The same for a swap pendingRecovery finds to be undone (RolledBack), from its journal.
std::vector<std::string> recoveryBlockers(const std::string& destination,
                                          const ReplaceJournal& journal);

// For a swap pendingRecovery finds to be undone (RolledBack): each name at the top of
// `destination` whose place the undo changes, with where what the undo puts there lies
// now (an earlier member aside or renamed on), or "" where the undo takes a new member
// away and leaves nothing. Reads only.
std::map<std::string, std::string> placesBeforeUndo(const std::string& destination,
                                                    const ReplaceJournal& journal);

// Finishes or undoes what a killed create or replace left in `destination`, from its
// working folder and journal: the destination then holds the earlier package or the new
// one, whole, and no working folder. Touches only the members the journal names and the
// working folder; a working folder that is not Vesk's or is held by another run is left
// alone. Each step goes through `steps` when given.
Recovery recoverInterruptedWork(const std::string& destination, const StepHook& hook = {});

}  // namespace vesk
