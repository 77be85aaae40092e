#include <filesystem>
#include <system_error>
#include <vector>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "package/build_command.h"
#include "package/create_summary.h"
#include "package/deferring_sink.h"
#include "package/failure_reason.h"
#include "package/package_check.h"
#include "package/package_layout.h"
#include "package/package_members.h"
#include "package/package_swap.h"
#include "package/recovery_report.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

// Nothing at all is at the path, a link not followed.
bool absent(const std::string& path) {
  const Result<EntryType> type = entryTypeOf(path);
  return !type && type.failure().code == FailureCode::NotFound;
}

// The folders on the way to `destination` that do not exist yet, the outermost first.
std::vector<std::string> missingFolders(const std::string& destination) {
  std::vector<std::string> missing;
  std::error_code ec;
  fs::path folder = fs::absolute(toFsPath(destination), ec).lexically_normal();
  if (ec) return missing;
  if (folder.filename().empty()) folder = folder.parent_path();
  while (!folder.empty() && absent(fromFsPath(folder))) {
    missing.insert(missing.begin(), fromFsPath(folder));
    if (folder.parent_path() == folder) break;
    folder = folder.parent_path();
  }
  return missing;
}

// Removes the folders the create made, the innermost first, each only while empty.
void removeMadeFolders(const std::vector<std::string>& made) {
  for (auto it = made.rbegin(); it != made.rend(); ++it) {
    if (!removeEmptyFolder(*it)) return;
  }
}

}  // namespace

BuildReport createPackage(const CreateRequest& request, MessageSink& sink,
                          BuildProgress* progress) {
  return createPackageStepwise(request, sink, progress, {});
}

BuildReport createPackageStepwise(const CreateRequest& request, MessageSink& sink,
                                  BuildProgress* progress, const StepHook& hook) {
  BuildReport report;
  report.entryCount = request.entries.size();
  if (const auto problem = entryCountProblem(request.entries.size())) {
    sink.showMessage(*problem);
    return report;
  }
  CreateRequest staged = request;
  // The plan's scene texts leave their memory to the copies' and the document's.
  TextRooms rooms;
  if (staged.textRooms == nullptr) staged.textRooms = &rooms;
  staged.plan = planOfRequest(staged);
  const PackagePlan& plan = *staged.plan;
  // A plan the check refuses is refused before anything is made.
  if (plan.cancelled || hasCheckErrors(plan.problems) || plan.documentEntries.empty()) {
    return buildPackageInPlace(staged, sink, progress);
  }
  if (!recoverBeforeRun(request.destination, sink)) {
    report.status = BuildStatus::Stopped;
    return report;
  }

  StepCounter steps(hook);
  const auto killed = [&] {
    report.status = BuildStatus::Stopped;
    return report;
  };
  const std::vector<std::string> made = missingFolders(request.destination);
  if (!steps.proceed("make the destination")) return killed();
  const Status created = createFolders(request.destination);
  if (!created || !isDirectory(request.destination)) {
    const int error = created ? 0 : created.failure().systemError;
    sink.showMessage(errorMessage(
        withReason(kDestinationNotCreatedMessage + request.destination, systemReason(error))));
    removeMadeFolders(made);
    return killed();
  }
  WorkingFolder folder;
  int error = 0;
  const WorkingFolderOpening opening = openWorkingFolder(request.destination, folder, steps, error);
  if (steps.stopped()) return killed();
  if (const auto problem = workingFolderProblem(opening, folder.path, error)) {
    sink.showMessage(*problem);
    if (opening == WorkingFolderOpening::Failed) removeMadeFolders(made);
    return killed();
  }

  // Every ending but success removes what the run made.
  const auto undone = [&](const std::string& text) {
    StepCounter cleanUp(StepHook{});
    removeWorkingFolder(folder, cleanUp);
    removeMadeFolders(made);
    sink.showMessage(errorMessage(text));
    report.status = BuildStatus::Stopped;
    return report;
  };

  DeferringSink deferring(sink);
  staged.destination = folder.path;
  if (!steps.proceed("build the new package")) return killed();
  report = buildPackageInPlace(staged, deferring, progress);
  report.documentPath = request.destination;
  if (!report.documentPath.empty() && !isPathSeparator(report.documentPath.back())) {
    report.documentPath += kPathSeparator;
  }
  report.documentPath += kDocumentName;
  if (report.status != BuildStatus::Written && report.status != BuildStatus::WrittenWithProblems) {
    return undone(report.cancelled ? kCreateCancelledUndoneMessage : kCreateUndoneMessage);
  }

  const FileOperations system = systemFileOperations();
  const FileOperations& operations = request.operations != nullptr ? *request.operations : system;
  ReplaceJournal journal;
  for (const auto& name : newPackageMembers(request.entries.size(), request.writeReport)) {
    if (pathExists(folder.path + kPathSeparator + name)) journal.incoming.push_back(name);
  }
  // The button images are written over, as any copy of them would be: a regular file
  // (or a link, never followed) of that name at the top goes aside with the swap, back
  // into place should the swap fail, and is removed only once the new package is in
  // place. A folder of that name is in the way (the check says so beforehand).
  for (const char* name : {kUpButtonName, kDownButtonName}) {
    const Result<EntryType> type = entryTypeOf(joinPath(request.destination, name));
    if (type && (*type == EntryType::File || *type == EntryType::Link)) {
      journal.earlier.push_back(name);
    }
  }
  const BuildStatus built = report.status;
  const SwapReport swap = swapPackageIn(request.destination, folder, journal, operations, steps);
  switch (swap.outcome) {
    case SwapOutcome::Done:
      break;
    case SwapOutcome::Killed:
      return killed();
    case SwapOutcome::Failed:
      return undone(swapFailureText(std::string(kCreateUndoneMessage) + ": ", swap));
    case SwapOutcome::UndoFailed:
      // What moved in and could not move back stays journaled for the next run.
      sink.showMessage(errorMessage(swapFailureText(kSwapUndoFailedMessage, swap)));
      report.status = BuildStatus::Stopped;
      return report;
    case SwapOutcome::Unflushed:
      sink.showMessage(errorMessage(withReason(kSwapUnflushedMessage, systemReason(swap.error))));
      return killed();
  }
  report.status = built;
  deferring.release();
  return report;
}

}  // namespace vesk
