#pragma once

#include <cstddef>
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
// that is not Vesk's or is held by another run (errors), the interrupted run (a
// warning) and, for a replace, what is in the way of the swap (errors, see
// replaceObstacles). Reads only. `names` (may be null) keeps the reading of the earlier
// package's document for the run's later looks.
struct DestinationWork {
  bool interrupted = false;
  bool packageAfterRecovery = false;
  std::vector<DestinationWorkProblem> problems;
};

DestinationWork inspectDestinationWork(const std::string& destination, bool replacing,
                                       std::size_t entryCount, DocumentNames* names = nullptr);

}  // namespace vesk
