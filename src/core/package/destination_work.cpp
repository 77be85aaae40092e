#include "package/destination_work.h"

#include <algorithm>

#include "messages/messages.h"
#include "package/package_layout.h"
#include "package/package_members.h"
#include "package/package_swap.h"
#include "package/replace_journal.h"
#include "package/working_folder.h"

namespace vesk {

namespace {

std::vector<std::string> journaledNames(const ReplaceJournal& journal) {
  std::vector<std::string> names = journal.earlier;
  names.insert(names.end(), journal.incoming.begin(), journal.incoming.end());
  names.insert(names.end(), journal.kept.begin(), journal.kept.end());
  for (const auto& [from, to] : journal.moved) {
    names.push_back(from);
    names.push_back(to);
  }
  return names;
}

}  // namespace

DestinationWork inspectDestinationWork(const std::string& destination, bool replacing) {
  DestinationWork work;
  work.packageAfterRecovery = holdsPackage(destination);
  const std::string folder = workingFolderOf(destination);
  const auto error = [&](CheckFault fault, const char* text) {
    work.problems.push_back({CheckSeverity::Error, fault, folder, text});
  };
  switch (pendingRecovery(destination)) {
    case Recovery::NothingFound:
    case Recovery::Discarded:
    case Recovery::Failed:
      break;
    case Recovery::Busy:
      error(CheckFault::DestinationUnusable, kCheckDestinationBusy);
      return work;
    case Recovery::NotOurs:
      error(CheckFault::DestinationUnusable, kCheckWorkingFolderNotOurs);
      return work;
    case Recovery::Completed:
      work.interrupted = true;
      work.packageAfterRecovery = true;
      if (const auto journal = readJournal(folder)) work.journaled = journaledNames(*journal);
      break;
    case Recovery::RolledBack: {
      work.interrupted = true;
      // Undone, the destination holds again what the run found there: a package when
      // that had its document or its first entry folder (a create moves an operator's
      // own button images aside too, and puts them back).
      const auto journal = readJournal(folder);
      const auto had = [&](const std::string& name) {
        return std::find(journal->earlier.begin(), journal->earlier.end(), name) !=
               journal->earlier.end();
      };
      work.packageAfterRecovery = journal && (had(kDocumentName) || had(entryFolderName(0)));
      if (journal) {
        for (const auto& name : journal->incoming) {
          if (!had(name)) work.leavingOnUndo.push_back(name);
        }
        work.journaled = journaledNames(*journal);
        for (const auto& blocker : recoveryBlockers(destination, *journal)) {
          work.problems.push_back(
              {CheckSeverity::Error, CheckFault::InterruptedWork, blocker, kCheckRecoveryBlocked});
        }
        work.lyingNow = placesBeforeUndo(destination, *journal);
      }
      break;
    }
  }
  // That the run finishes or undoes it first is said only where nothing blocks that.
  if (work.interrupted && work.problems.empty()) {
    work.problems.push_back(
        {CheckSeverity::Warning, CheckFault::InterruptedWork, folder, kCheckInterruptedReplace});
  }
  work.lookForObstacles = replacing && work.packageAfterRecovery;
  return work;
}

std::vector<DestinationWorkProblem> replaceObstacleProblems(
    const std::string& destination, std::size_t entryCount, bool report,
    const std::map<std::string, std::string>& lyingNow, DocumentNames* names) {
  std::vector<DestinationWorkProblem> problems;
  for (const auto& found :
       replaceObstaclesAfterUndo(destination, entryCount, report, lyingNow, names)) {
    problems.push_back({CheckSeverity::Error, CheckFault::EarlierPackage, found.path,
                        found.obstacle == ReplaceObstacle::InTheWay ? kCheckMemberInTheWay
                                                                    : kCheckUnaccountedFile});
  }
  return problems;
}

}  // namespace vesk
