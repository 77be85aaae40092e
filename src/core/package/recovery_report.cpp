#include "package/recovery_report.h"

#include "base/failure.h"
#include "base/path_terms.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/failure_reason.h"
#include "package/replace_journal.h"
#include "package/working_folder.h"

namespace vesk {

bool recoverBeforeRun(const std::string& destination, MessageSink& sink) {
  const std::string path = workingFolderOf(destination);
  switch (recoverInterruptedWork(destination)) {
    case Recovery::NothingFound:
    case Recovery::Discarded:
      return true;
    case Recovery::RolledBack:
      sink.showMessage(warningMessage(kInterruptedReplaceRolledBackMessage));
      return true;
    case Recovery::Completed:
      sink.showMessage(warningMessage(kInterruptedReplaceCompletedMessage));
      return true;
    case Recovery::Busy:
      sink.showMessage(errorMessage(fillTemplate(kDestinationBusyMessage, {{"path", path}})));
      return false;
    case Recovery::NotOurs:
      sink.showMessage(errorMessage(fillTemplate(kWorkingFolderNotOursMessage, {{"path", path}})));
      return false;
    case Recovery::Failed: {
      const std::vector<std::string> blockers = recoveryBlockers(destination);
      if (blockers.empty()) {
        sink.showMessage(errorMessage(fillTemplate(kWorkingFolderFailedMessage, {{"path", path}})));
        return false;
      }
      std::string text = kRecoveryBlockedMessage;
      for (const auto& blocker : blockers) text += "\n" + blocker;
      sink.showMessage(errorMessage(text));
      return false;
    }
  }
  return false;
}

std::optional<Message> interruptedWorkNotice(const std::string& documentPath) {
  const std::string folder =
      folderOf(documentPath).empty() ? std::string(".") : folderOf(documentPath);
  const Recovery pending = pendingRecovery(folder);
  // While a run writes the package, parts of it may be moved aside for a moment.
  if (pending == Recovery::Busy) {
    return errorMessage(fillTemplate(kPackageBeingWrittenMessage, {{"path", folder}}));
  }
  if (pending != Recovery::RolledBack) return std::nullopt;
  // Where the undo is blocked, another create would not finish it: what blocks it is named.
  const std::vector<std::string> blockers = recoveryBlockers(folder);
  if (!blockers.empty()) {
    std::string text = kRecoveryBlockedMessage;
    for (const auto& blocker : blockers) text += "\n" + blocker;
    return errorMessage(text);
  }
  return errorMessage(fillTemplate(kInterruptedReplaceFoundMessage, {{"path", folder}}));
}

std::optional<UndoPlaces> packagePlacesUntilUndo(const std::string& folder) {
  if (pendingRecovery(folder) != Recovery::RolledBack) return std::nullopt;
  const std::string working = workingFolderOf(folder);
  const auto journal = readJournal(working);
  if (!journal || !recoveryBlockers(folder, *journal).empty()) return std::nullopt;
  std::map<std::string, std::string> places = placesBeforeUndo(folder, *journal);
  // A name the undo leaves absent is read where nothing ever is.
  for (auto& [name, now] : places) {
    if (now.empty()) now = joinPath(joinPath(working, ".vesk-absent"), name);
  }
  return UndoPlaces(folder, std::move(places));
}

void namePathsAfterUndo(std::vector<CheckProblem>& problems, const UndoPlaces& places) {
  for (CheckProblem& problem : problems) {
    const std::string after = places.afterUndo(problem.path);
    if (after == problem.path) continue;
    // Every line of the check ends with its path.
    const std::size_t size = problem.path.size();
    if (problem.text.size() >= size &&
        problem.text.compare(problem.text.size() - size, size, problem.path) == 0) {
      problem.text.replace(problem.text.size() - size, size, after);
    }
    problem.path = after;
  }
}

std::optional<Message> workingFolderProblem(WorkingFolderOpening opening, const std::string& path,
                                            int error) {
  switch (opening) {
    case WorkingFolderOpening::Opened:
      return std::nullopt;
    case WorkingFolderOpening::Busy:
      return errorMessage(fillTemplate(kDestinationBusyMessage, {{"path", path}}));
    case WorkingFolderOpening::NotOurs:
      return errorMessage(fillTemplate(kWorkingFolderNotOursMessage, {{"path", path}}));
    case WorkingFolderOpening::Gone:  // only a take-over ends so
    case WorkingFolderOpening::Failed:
      break;
  }
  return errorMessage(
      withReason(std::string(kStagingNotCreatedMessage) + path, systemReason(error)));
}

}  // namespace vesk
