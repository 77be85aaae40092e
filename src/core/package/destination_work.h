#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "package/package_check.h"
#include "package/package_members.h"

namespace vesk {

// One problem the check reports about the destination's working folder or the earlier
// package a replace would take over.
struct DestinationWorkProblem {
  CheckSeverity severity;
  CheckFault fault;
  std::string path;
  const char* text;
};

// What the check learns of `destination` before a create or replace of `entryCount`
// entries: whether a killed create or replace is waiting there (the build finishes or
// undoes it first, so the check looks at the state after that recovery), whether the
// destination holds a package after that recovery, and the problems: a working folder
// that is not Vesk's or is held by another run (errors) and the interrupted run (a
// warning). For a replace of a package, `lookForObstacles` says that what is in the way
// of the swap is still to be looked for (replaceObstacleProblems), which reads the
// earlier document and every earlier entry folder: the caller runs it beside its other
// work; behind a run to be undone it looks at the earlier package where the undo takes
// it from (`lyingNow`). Reads only.
struct DestinationWork {
  bool interrupted = false;
  bool packageAfterRecovery = false;
  bool lookForObstacles = false;
  // Of a run to be undone: the names at the top whose place the undo changes, with where
  // what it puts there lies now ("" for nothing; see placesBeforeUndo).
  std::map<std::string, std::string> lyingNow;
  // Names at the top of the destination that the undo of an interrupted run takes back
  // into its working folder: that run's own new members, not in the way of this one.
  std::vector<std::string> leavingOnUndo;
  // Of an interrupted run: every name its journal speaks of. What else lies at the top
  // stays as it is through the recovery.
  std::vector<std::string> journaled;
  std::vector<DestinationWorkProblem> problems;
};

DestinationWork inspectDestinationWork(const std::string& destination, bool replacing);

// What is in the way of a replace of the package in `destination` by one of `entryCount`
// entries (with the report page when `report`), as the check's errors (see
// replaceObstacles), with the names that lie elsewhere until an undo (`lyingNow`, see
// DestinationWork). `names` (may be null) keeps the reading of the earlier package's
// document for the run's later looks. Reads only.
std::vector<DestinationWorkProblem> replaceObstacleProblems(
    const std::string& destination, std::size_t entryCount, bool report,
    const std::map<std::string, std::string>& lyingNow, DocumentNames* names);

}  // namespace vesk
