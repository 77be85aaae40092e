#pragma once

#include <functional>
#include <string>

#include "base/file_lock.h"

namespace vesk {

// The folder a create or replace works in, inside the destination. It holds the new
// package while it is built, the earlier package's members while they are moved
// aside, the journal of a replace and the marker. Vesk owns it only while the marker
// (a regular file) is inside it: a link, a file or a folder without the marker of that
// name is someone else's and is never followed, changed or removed.
inline constexpr const char* kWorkingFolderName = ".vesk-staging";
inline constexpr const char* kWorkingMarkerName = ".vesk-working-folder";
// The run's lock: an exclusive lock on this file, held for the whole run.
inline constexpr const char* kWorkingLockName = ".vesk-lock";
// Inside the working folder: the earlier package's members while they are moved aside.
inline constexpr const char* kAsideFolderName = ".vesk-previous";

// Called before each step that changes the disk (a folder made, a file written, a
// rename, a removal, a flush) with the step's number from 0 and what it does; returning
// false ends the run there without any clean-up, as a killed process would. For tests.
using StepHook = std::function<bool(int step, const std::string& what)>;

// Counts the steps of a run and asks the hook before each.
class StepCounter {
 public:
  explicit StepCounter(const StepHook& hook) : hook_(hook) {}
  // True when the run may take its next step.
  bool proceed(const std::string& what) {
    if (stopped_ || (hook_ && !hook_(step_++, what))) stopped_ = true;
    return !stopped_;
  }
  int steps() const { return step_; }
  // True once the hook has ended the run.
  bool stopped() const { return stopped_; }

 private:
  StepHook hook_;
  int step_ = 0;
  bool stopped_ = false;
};

enum class WorkingFolderState {
  Absent,   // nothing of that name in the destination
  Stale,    // Vesk's, left by a run that ended without removing it (killed): it holds the
            // marker, or is empty or holds only the lock file (killed while being made)
  Busy,     // Vesk's, and another run holds its lock
  NotOurs,  // a link, a file or a folder without the marker: never touched
};

// What lies at the working folder's place in `destination`. Reads only.
WorkingFolderState inspectWorkingFolder(const std::string& destination);

// The path of the working folder of `destination`.
std::string workingFolderOf(const std::string& destination);

// A working folder this run made and holds the lock of.
struct WorkingFolder {
  std::string path;
  FileLock lock;
};

enum class WorkingFolderOpening {
  Opened,
  Busy,
  NotOurs,
  Failed,
  Gone,  // taking over: the folder was no longer there (its run removed it meanwhile)
};

// Makes the working folder in `destination` (which must exist and hold none): the
// folder, its lock file locked, then the marker, each a step of `steps`. Busy when
// another run made one meanwhile, Failed (with the system's error) when the folder
// cannot be made; a kill between these steps leaves what discardStaleWorkingFolder
// recognises and removes.
WorkingFolderOpening openWorkingFolder(const std::string& destination, WorkingFolder& folder,
                                       StepCounter& steps, int& error);

// Takes over the stale working folder of `destination` (see inspectWorkingFolder): locks
// it for this run. Busy when another run holds it, NotOurs when it is not Vesk's, Gone
// when it is no longer there, found so or gone before it was locked. `afterLook` (may be
// empty; for tests) is called between the look and the lock.
WorkingFolderOpening adoptWorkingFolder(const std::string& destination, WorkingFolder& folder,
                                        const std::function<void()>& afterLook = {});

// Removes the held working folder and everything in it (links inside are removed, never
// followed): a swap's journal first, made durable before anything else goes, the lock
// last. `beforeLetGo` (may be empty) is called once everything else is gone, while the
// lock is still held: no other run can start on the destination until it returns.
// False when something could not be removed.
bool removeWorkingFolder(WorkingFolder& folder, StepCounter& steps,
                         const std::function<void()>& beforeLetGo = {});

}  // namespace vesk
