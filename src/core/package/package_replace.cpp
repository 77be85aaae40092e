#include "package/package_replace.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <future>
#include <system_error>

#include "base/file_operations.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/create_summary.h"
#include "package/deferring_sink.h"
#include "package/earlier_package.h"
#include "package/failure_reason.h"
#include "package/kept_folders.h"
#include "package/package_check.h"
#include "package/package_layout.h"
#include "package/package_members.h"
#include "package/package_plan.h"
#include "package/package_swap.h"
#include "package/recovery_report.h"

namespace vesk {

namespace {

// True when `obstacles` is empty; else shows them and returns false.
bool obstaclesAbsent(const std::vector<ReplaceObstacleAt>& obstacles, MessageSink& sink) {
  if (obstacles.empty()) return true;
  std::string text = kReplaceObstaclesMessage;
  for (const auto& found : obstacles) {
    text += "\n";
    text +=
        found.obstacle == ReplaceObstacle::InTheWay ? kCheckMemberInTheWay : kCheckUnaccountedFile;
    text += ": " + found.path;
  }
  sink.showMessage(errorMessage(text));
  return false;
}

// Plans the new package when it has no plan yet, as the build in the working folder
// would, and leaves out of it the entry folders of the earlier package in
// `destination` that the new one takes whole (see keptEntryFolders), which the build
// then takes as they lie. The earlier package's copy record is read once for both the
// keep decision and the build's reuse of single files.
void keepUnchangedFolders(CreateRequest& staged, const std::string& destination,
                          DocumentNames& earlierNames) {
  if (!staged.hashContent) return;
  // A plan made here has just looked at the sources; one made before (the check the
  // operator saw) may be old, and every source is looked at again.
  const SourceLook sources = staged.plan == nullptr ? SourceLook::FromFreshPlan : SourceLook::Now;
  // The earlier package is looked at on a thread of its own while the plan reads the
  // sources: both only read. Its look may be older than the decision below; the check of
  // the kept folders just before the swap sees them as they are then.
  std::future<EarlierPackage> looking;
  try {
    looking = std::async(std::launch::async, [&destination, &earlierNames] {
      return lookAtEarlierPackage(destination, &earlierNames);
    });
  } catch (const std::system_error&) {
    // No thread to be had: looked at after the plan.
  }
  staged.plan = planOfRequest(staged);
  EarlierPackage earlier =
      looking.valid() ? looking.get() : lookAtEarlierPackage(destination, &earlierNames);
  const PackagePlan& plan = *staged.plan;
  if (plan.cancelled || hasCheckErrors(plan.problems) || plan.documentEntries.empty()) return;
  std::vector<KeptFolder> kept = keptEntryFolders(plan, earlier, sources);
  if (earlier.record && staged.earlierPackage == earlier.record->folder) {
    staged.earlierRecord = std::make_shared<const EarlierRecord>(std::move(*earlier.record));
  }
  if (kept.empty()) return;
  staged.plan = std::make_shared<const PackagePlan>(withoutKeptFolders(plan, kept));
  staged.keptIn = joinPath(destination, "");
  staged.keptFolders = std::move(kept);
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

BuildReport replacePackage(const CreateRequest& request, MessageSink& sink, BuildProgress* progress,
                           const StepHook& hook) {
  const auto started = std::chrono::steady_clock::now();
  const std::string& destination = request.destination;
  BuildReport report;
  report.entryCount = request.entries.size();
  if (const auto problem = entryCountProblem(request.entries.size())) {
    sink.showMessage(*problem);
    return report;
  }
  report.status = BuildStatus::Stopped;
  if (!recoverBeforeRun(destination, sink)) return report;
  // Everything the swap moves aside and removes must be the earlier package's own. The
  // destination is looked at on a thread of its own while the working folder is opened
  // and the new package planned (both leave the earlier package as it is); nothing is
  // built before the look has found nothing in the way.
  // The earlier document is read once for every look of this run (the check's
  // included) while it stays the same file: it may run to hundreds of MiB.
  const std::shared_ptr<DocumentNames> earlierDocument =
      request.plan != nullptr && request.plan->earlierDocument != nullptr
          ? request.plan->earlierDocument
          : std::make_shared<DocumentNames>();
  DocumentNames& earlierNames = *earlierDocument;
  const auto lookForObstacles = [&destination, &request, &earlierNames] {
    return replaceObstacles(destination, request.entries.size(), request.writeReport, {},
                            &earlierNames);
  };
  std::future<std::vector<ReplaceObstacleAt>> looking;
  try {
    looking = std::async(std::launch::async, lookForObstacles);
  } catch (const std::system_error&) {
    // No thread to be had: looked at here, before anything else.
  }
  if (!looking.valid() && !obstaclesAbsent(lookForObstacles(), sink)) return report;
  // The look still running when this returns early is waited for by the future.

  StepCounter steps(hook);
  WorkingFolder folder;
  int error = 0;
  const WorkingFolderOpening opening = openWorkingFolder(destination, folder, steps, error);
  if (steps.stopped()) return report;
  if (const auto problem = workingFolderProblem(opening, folder.path, error)) {
    if (looking.valid() && !obstaclesAbsent(looking.get(), sink)) return report;
    sink.showMessage(*problem);
    return report;
  }
  const auto removeFolder = [&folder] {
    StepCounter cleanUp(StepHook{});
    removeWorkingFolder(folder, cleanUp);
  };
  const auto kept = [&](const char* text) {
    removeFolder();
    sink.showMessage(errorMessage(text));
    report.status = BuildStatus::Stopped;
    return report;
  };

  DeferringSink deferring(sink);
  CreateRequest staged = request;
  staged.destination = folder.path;
  staged.ownWorkingFolder = true;
  // The plan's scene texts leave their memory to the copies' and the document's.
  TextRooms rooms;
  if (staged.textRooms == nullptr) staged.textRooms = &rooms;
  // Unchanged files of the earlier package stand in for their sources.
  if (staged.earlierPackage.empty()) staged.earlierPackage = joinPath(destination, "");
  keepUnchangedFolders(staged, destination, earlierNames);
  if (looking.valid() && !obstaclesAbsent(looking.get(), sink)) {
    removeFolder();
    return report;
  }
  if (!steps.proceed("build the new package")) return report;
  report = buildPackageInPlace(staged, deferring, progress);
  report.documentPath = joinPath(destination, kDocumentName);
  if (report.status != BuildStatus::Written) {
    const bool cancelled = report.cancelled;
    return kept(cancelled ? kReplaceCancelledMessage : kEarlierPackageKeptMessage);
  }
  ReplaceJournal journal;
  std::vector<std::string> movedNames;
  for (const KeptFolder& kept : staged.keptFolders) {
    if (kept.from == kept.name) {
      journal.kept.push_back(kept.name);
    } else {
      journal.moved.emplace_back(kept.from, kept.name);
      movedNames.push_back(kept.name);
    }
  }
  // Looked at again: the destination may have changed while the package was built. The
  // folders kept in place were just checked by the create's own verify, and the swap
  // leaves them as they are.
  if (!obstaclesAbsent(replaceObstacles(destination, request.entries.size(), request.writeReport,
                                        journal.kept, &earlierNames),
                       sink)) {
    return kept(kEarlierPackageKeptMessage);
  }

  for (auto& name : packageMembers(destination, &earlierNames)) {
    if (!contains(journal.kept, name)) journal.earlier.push_back(name);
  }
  for (const auto& name : newPackageMembers(request.entries.size(), request.writeReport)) {
    if (contains(movedNames, name) || pathExists(joinPath(folder.path, name))) {
      journal.incoming.push_back(name);
    }
  }
  const FileOperations system = systemFileOperations();
  const FileOperations& operations = request.operations != nullptr ? *request.operations : system;
  const SwapReport swap = swapPackageIn(destination, folder, journal, operations, steps);
  switch (swap.outcome) {
    case SwapOutcome::Done:
      break;
    case SwapOutcome::Killed:
      report.status = BuildStatus::Stopped;
      return report;
    case SwapOutcome::UndoFailed:
      // The earlier members still aside stay there, with the journal, for the next run.
      sink.showMessage(errorMessage(swapFailureText(kSwapUndoFailedMessage, swap)));
      report.status = BuildStatus::Stopped;
      return report;
    case SwapOutcome::Failed:
      sink.showMessage(errorMessage(swapFailureText(kSwapFailedMessage, swap)));
      {
        StepCounter cleanUp(StepHook{});
        removeWorkingFolder(folder, cleanUp);
      }
      report.status = BuildStatus::Stopped;
      return report;
    case SwapOutcome::Unflushed:
      // The earlier package stays aside; the next run finishes the swap.
      sink.showMessage(errorMessage(withReason(kSwapUnflushedMessage, systemReason(swap.error))));
      report.status = BuildStatus::Stopped;
      return report;
  }

  // The summary counts the whole replace, swap included.
  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  deferring.release(
      createdMessageText({report.entryCount, report.filesCopied, report.bytesCopied, report.seconds,
                          request.warningCount, report.filesReused, report.bytesReused}));
  return report;
}

}  // namespace vesk
