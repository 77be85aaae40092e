#include <memory>
#include <optional>
#include <ostream>

#include "base/file_system.h"
#include "checked_build.h"
#include "commands.h"
#include "console_stream.h"
#include "entry_options.h"
#include "interrupt_guard.h"
#include "messages/messages.h"
#include "package/build_command.h"
#include "package/package_check.h"
#include "package/package_plan.h"
#include "package/package_replace.h"
#include "package/recovery_report.h"
#include "stream_sink.h"

namespace vesk::cli {

namespace {

CheckRequest checkRequestFor(const BuildOptions& options,
                             const std::vector<ExhibitionEntry>& entries) {
  CheckRequest request;
  request.entries = entries;
  request.destination = options.destination;
  request.replacing = options.replace;
  request.programFolder = options.programDir;
  request.withReport = options.report;
  return request;
}

}  // namespace

BuildReport checkThenBuild(const std::vector<ExhibitionEntry>& entries, const BuildOptions& options,
                           bool replace, MessageSink& sink, std::ostream& err,
                           InterruptGuard& guard) {
  // Every problem is found before anything is made; an error stops the build here. The
  // memory of the scenes' texts the check reads is reused by the create.
  TextRooms rooms;
  BuildOptions checked = options;
  checked.replace = replace;
  CheckRequest check = checkRequestFor(checked, entries);
  check.textRooms = &rooms;
  auto plan = std::make_shared<const PackagePlan>(planPackage(check, &guard.planObserver()));
  const std::vector<CheckProblem>& problems = plan->problems;
  if (!problems.empty()) err << shownText(checkReportText(problems)) << '\n';
  BuildReport report;
  if (hasCheckErrors(problems)) {
    report.status = BuildStatus::Stopped;
    return report;
  }
  CreateRequest request{entries, options.destination, options.programDir};
  request.warningCount = checkWarningCount(problems);
  request.writeReport = options.report;
  request.plan = plan;
  request.textRooms = &rooms;
  return replace && holdsPackage(options.destination) ? replacePackage(request, sink, &guard)
                                                      : createPackage(request, sink, &guard);
}

int runCheck(const BuildOptions& options, std::ostream& out, std::ostream& err) {
  CommandSink sink(out, err);
  EntryList list;
  // What a killed run left in the destination is undone by the build before it reads
  // anything: the check reads the package there where its parts lie until then.
  const std::optional<UndoPlaces> places = packagePlacesUntilUndo(options.destination);
  const UndoPlaces* untilUndo = places ? &*places : nullptr;
  if (const auto failed = gatherEntries(options, list, sink, err, untilUndo)) return *failed;
  InterruptGuard guard(nullptr);
  CheckRequest request = checkRequestFor(options, list.entries());
  request.progress = &guard;
  request.undoPlaces = untilUndo;
  std::vector<CheckProblem> problems = checkPackage(request);
  // Named where the build meets them.
  if (places) namePathsAfterUndo(problems, *places);
  if (problems.empty()) {
    out << kCheckPassedMessage << '\n';
    return 0;
  }
  err << shownText(checkReportText(problems)) << '\n';
  if (hasCheckErrors(problems)) guard.endBySignal();
  return hasCheckErrors(problems) ? 1 : 0;
}

int runBuild(const BuildOptions& options, std::ostream& out, std::ostream& err) {
  CommandSink sink(out, err);
  EntryList list;
  // A create or replace killed earlier is finished or undone before anything else, so
  // that the check sees what the build will meet and an earlier package read back
  // (--from) is whole.
  if (!recoverBeforeRun(options.destination, sink)) return 1;
  if (const auto failed = gatherEntries(options, list, sink, err)) return *failed;

  std::unique_ptr<TerminalProgress> progress;
  if (errIsTerminal(err)) progress = std::make_unique<TerminalProgress>(err);
  // From here on a signal asks the run to stop, the check included.
  InterruptGuard guard(progress.get());

  const BuildReport report =
      checkThenBuild(list.entries(), options, options.replace, sink, err, guard);
  if (report.status != BuildStatus::Written) guard.endBySignal();
  return report.status == BuildStatus::Written ? 0 : 1;
}

}  // namespace vesk::cli
