#include "editor/dialog_controller.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/package_plan.h"
#include "package/package_replace.h"
#include "package/package_report_file.h"
#include "package/packaged_entries.h"
#include "package/recovery_report.h"
#include "package/working_folder.h"

namespace vesk {

namespace {

// Where the destination chooser starts before anything has been dropped: the root
// of drive C on Windows, the home folder elsewhere.
std::string defaultBrowseStartPath() {
#ifdef _WIN32
  return "c:\\";
#else
  const char* home = std::getenv("HOME");
  return home != nullptr && *home != '\0' ? std::string(home) : std::string("/");
#endif
}

// Raises a flag for its lifetime; it is lowered also on an early return.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

std::string systemTemporaryFolder() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  return ec ? std::string() : fromFsPath(folder);
}

}  // namespace

DialogController::DialogController(DialogView& view, MessageSink& sink,
                                   ChooseDestination chooseDestination, BuildFunction build,
                                   CheckFunction check)
    : view_(view),
      sink_(sink),
      chooseDestination_(std::move(chooseDestination)),
      build_(std::move(build)),
      check_(check ? std::move(check) : CheckFunction([](const CheckRequest& request) {
        return planPackage(request);
      })),
      writeReport_(writePackageReport),
      temporaryFolder_(systemTemporaryFolder),
      browseStartPath_(defaultBrowseStartPath()) {}

void DialogController::setReportServices(ReportWriter writer, TemporaryFolder temporaryFolder) {
  writeReport_ = std::move(writer);
  temporaryFolder_ = std::move(temporaryFolder);
}

void DialogController::initialise() {
  list_.setCurrentIndex(-1);
  arrowKeyPressed_ = false;
  browseStartPath_ = defaultBrowseStartPath();
  listBoxRect_ = view_.listBoxRect();
}

void DialogController::onAdd() {
  if (busy_) return;
  if (!list_.addWorkingEntry()) {
    sink_.showMessage(errorMessage(kIncompleteEntryMessage));
    return;
  }
  // The fields already show the working entry, which the add leaves as it is.
  refreshEntryView();
}

void DialogController::onDelete() {
  if (busy_ || !list_.removeCurrent()) return;
  rebuildList();
  showWorkingEntry();
  view_.setCountText(std::to_string(list_.size()));
}

void DialogController::onUp() {
  if (busy_ || !list_.moveUp(view_.selectedLine())) return;
  showWorkingEntry();
  rebuildList();
}

void DialogController::onDown() {
  if (busy_ || !list_.moveDown(view_.selectedLine())) return;
  showWorkingEntry();
  rebuildList();
}

void DialogController::onSelectionChanged() {
  // While a run works, the list box may still take a click or a key: its highlight is
  // put back on the current entry, which the commands after the run act on.
  if (busy_) {
    view_.selectLine(list_.currentIndex());
    return;
  }
  if (list_.currentIndex() == -1) return;
  const int selected = view_.selectedLine();
  // A selection made with an arrow key is taken as it is; one made otherwise only
  // when the mouse cursor is over the newly selected line.
  bool accepted = arrowKeyPressed_;
  if (!accepted && selected != -1) {
    // Taken anew: the dialog's layout may have changed since it opened (a move to a
    // screen of another scale rescales the window on Windows).
    listBoxRect_ = view_.listBoxRect();
    accepted = cursorOverLine(view_.cursorPosition(), listBoxRect_, view_.lineRect(selected));
  }
  if (!list_.selectEntry(selected, accepted)) return;
  showWorkingEntry();
  rebuildList();
  arrowKeyPressed_ = false;
}

void DialogController::onCreate() {
  if (busy_) return;
  // The count check and the chooser come first and on this thread, so that the
  // operator has answered before any work starts; the build checks the count again
  // and then takes the folder chosen here.
  if (const auto problem = entryCountProblem(list_.size())) {
    sink_.showMessage(*problem);
    return;
  }
  const std::string destination = chooseDestination_(browseStartPath_);
  if (destination.empty()) return;

  // A replace killed earlier is finished or undone first: behind the progress window,
  // as removing an earlier package aside may take a while. An earlier package is
  // replaced only when the operator agrees; No (also Enter, the default) returns to
  // the dialog with nothing checked or written.
  if (inspectWorkingFolder(destination) == WorkingFolderState::Stale) {
    FlagScope busy(busy_);
    bool recovered = false;
    // A cancel meanwhile lets the recovery end (it leaves a whole package) and starts
    // nothing after it.
    const bool ranToEnd =
        runInBackground(ProgressStage::Check, [&](MessageSink& sink, BuildProgress&) {
          recovered = recoverBeforeRun(destination, sink);
        });
    if (!ranToEnd || !recovered) return;
  } else if (!recoverBeforeRun(destination, sink_)) {
    return;
  }
  const bool replace = holdsPackage(destination);
  if (replace && !sink_.askYesNo(kReplaceQuestion, DefaultAnswer::No)) return;

  FlagScope busy(busy_);
  // The memory of the scenes' texts the check reads is reused by the create.
  TextRooms rooms;
  CreateRequest request;
  request.entries = list_.entries();
  request.destination = destination;
  request.textRooms = &rooms;
  // Nothing is written before the operator has seen every problem of the entries.
  if (!confirmCheck(request, replace)) return;
  BuildReport report;
  runInBackground(ProgressStage::Create, [&](MessageSink& sink, BuildProgress& progress) {
    report = replace ? replacePackage(request, sink, &progress) : build_(request, sink, &progress);
  });
  if (report.status == BuildStatus::Written || report.status == BuildStatus::WrittenWithProblems) {
    reportedPackage_ = report.documentPath;
  }
  // The entries keep the data files the create read from their scenes.
  for (std::size_t i = 0; i < report.dataFiles.size() && i < list_.size(); ++i) {
    list_.dataFilesOf(i) = report.dataFiles[i];
  }
  if ((report.status == BuildStatus::Written ||
       report.status == BuildStatus::WrittenWithProblems) &&
      request.plan != nullptr) {
    pointEntriesAtCopies(*request.plan, folderOf(report.documentPath));
  }
}

void DialogController::pointEntriesAtCopies(const PackagePlan& plan,
                                            const std::string& packageFolder) {
  // Entries read back from the package the create replaced named its files, which are
  // gone now or hold another entry's copy: they name their own copies instead, so the
  // list shows what was written and a second create makes the same package.
  const std::vector<ExhibitionEntry> after =
      entriesAfterCreate(plan, list_.entries(), packageFolder);
  const int current = list_.currentIndex();
  const ExhibitionEntry& working = list_.workingEntry();
  const bool showingCurrent =
      current >= 0 && static_cast<std::size_t>(current) < list_.size() &&
      working.scenePath == list_.at(static_cast<std::size_t>(current)).scenePath &&
      working.thumbnailPath == list_.at(static_cast<std::size_t>(current)).thumbnailPath &&
      working.descriptionPath == list_.at(static_cast<std::size_t>(current)).descriptionPath;
  // An entry being composed keeps the operator's changes; its paths into the replaced
  // package name their copies, or nothing where the file is gone.
  const ExhibitionEntry composed = workingEntryAfterCreate(plan, working, packageFolder);
  const bool listChanged = after != list_.entries();
  if (!listChanged && composed == working) return;
  if (listChanged) {
    for (std::size_t i = 0; i < after.size() && i < list_.size(); ++i) list_.setEntry(i, after[i]);
    rebuildList();
  }
  if (showingCurrent) {
    list_.loadWorkingEntry();
  } else {
    list_.workingEntry() = composed;
  }
  showWorkingEntry();
}

bool DialogController::confirmCheck(CreateRequest& request, bool replacing) {
  CheckRequest check;
  check.entries = request.entries;
  check.destination = request.destination;
  check.replacing = replacing;
  check.textRooms = request.textRooms;
  std::shared_ptr<const PackagePlan> plan;
  const bool ranToEnd =
      runInBackground(ProgressStage::Check, [&](MessageSink&, BuildProgress& progress) {
        check.progress = &progress;
        plan = std::make_shared<const PackagePlan>(check_(check));
      });
  // Cancelled by the operator: nothing was made, and nothing more is asked.
  if (!ranToEnd || plan == nullptr) return false;
  // The create executes the plan the operator has seen the problems of.
  request.plan = plan;
  const std::vector<CheckProblem>& problems = plan->problems;
  if (problems.empty()) return true;
  // The scenes' memory is not held while the operator reads the problems.
  if (request.textRooms != nullptr) request.textRooms->release();
  const bool canCreate = !hasCheckErrors(problems);
  // With an error the create never goes on, whatever the view answers.
  if (!view_.showProblems(problemLinesOf(problems), canCreate) || !canCreate) return false;
  request.warningCount = checkWarningCount(problems);
  return true;
}

bool DialogController::runInBackground(ProgressStage stage, const BackgroundJob& job) {
  // A failure no part of the run foresaw (memory exhausted, say) ends the run with a
  // message, never the program: the list stays as it is, and what the run left in a
  // destination is put right by the next run there.
  try {
    if (runner_ != nullptr) return runner_->run(stage, job);
    BuildProgress none;
    job(sink_, none);
    return true;
  } catch (const std::exception&) {
    sink_.showMessage(errorMessage(kUnexpectedFailureMessage));
    return false;
  }
}

void DialogController::onFilesDropped(const std::vector<std::string>& paths) {
  if (!acceptsDrops()) return;
  FlagScope handling(handlingDrop_);
  DropTarget target{
      list_,
      browseStartPath_,
      sink_,
      [this] { showWorkingEntry(); },
      [this] { showReimportedPackage(); },
      [this](const std::string& folder) {
        // As before a create: behind the progress window, a cancel
        // letting the recovery end and reading nothing after it.
        FlagScope busy(busy_);
        bool recovered = false;
        const bool ranToEnd = runInBackground(
            ProgressStage::Check,
            [&](MessageSink& sink, BuildProgress&) { recovered = recoverBeforeRun(folder, sink); });
        return ranToEnd && recovered;
      },
      [this](const std::function<void(BuildProgress&)>& job) {
        FlagScope busy(busy_);
        return runInBackground(ProgressStage::Check,
                               [&job](MessageSink&, BuildProgress& progress) { job(progress); });
      }};
  routeDroppedFiles(paths, target);
}

void DialogController::onOpenReport() {
  if (busy_) return;
  if (reportedPackage_.empty()) {
    sink_.showMessage(errorMessage(kReportNoPackageMessage));
    return;
  }
  // Where the page goes when the package's folder takes no file (read-only media): the
  // temporary folder, under the package's name, its pictures inside it.
  std::string folder = temporaryFolder_();
  if (!folder.empty() && !isPathSeparator(folder.back())) folder += kPathSeparator;
  std::string name = folderOf(reportedPackage_);
  while (!name.empty() && isPathSeparator(name.back())) name.pop_back();
  const std::string elsewhere = folder + kReportTemporaryPrefix + fileNameOf(name) + ".html";

  // The page looks at every file of the package: off the dialog's thread, as a check
  // is, since a package on slow media takes a while. A cancel opens nothing.
  FlagScope busy(busy_);
  std::string page = reportPathOf(reportedPackage_);
  Status written = makeFailure(FailureCode::Cancelled);
  const bool ranToEnd =
      runInBackground(ProgressStage::Check, [&](MessageSink&, BuildProgress& progress) {
        progress.fileStarted(reportedPackage_);
        written = writeReport_(reportedPackage_, page);
        if (!written && written.failure().path == page) {
          page = elsewhere;
          written = writeReport_(reportedPackage_, page);
        }
      });
  if (!ranToEnd) return;
  if (!written) {
    sink_.showMessage(errorMessage(reportFailureText(written.failure())));
    return;
  }
  if (!view_.openFile(page)) sink_.showMessage(errorMessage(kReportNotOpenedMessage + page));
}

bool DialogController::onKeyDown(DialogKey key) {
  switch (key) {
    case DialogKey::Enter:
    case DialogKey::Escape:
      return true;
    case DialogKey::Left:
    case DialogKey::Up:
    case DialogKey::Right:
    case DialogKey::Down:
      // A key pressed while a run works selects nothing, so it leaves no mark.
      if (!busy_) arrowKeyPressed_ = true;
      return false;
    case DialogKey::Other:
      break;
  }
  return false;
}

void DialogController::refreshEntryView() {
  rebuildList();
  view_.setCountText(std::to_string(list_.size()));
}

void DialogController::showWorkingEntry() {
  const ExhibitionEntry& working = list_.workingEntry();
  view_.setPathFields(working.scenePath, working.thumbnailPath, working.descriptionPath);
}

void DialogController::rebuildList() {
  std::vector<std::string> lines;
  lines.reserve(list_.size());
  for (const ExhibitionEntry& entry : list_.entries()) lines.push_back(entry.scenePath);
  view_.setListLines(lines);
  view_.selectLine(list_.currentIndex());
}

void DialogController::showReimportedPackage() {
  // The drop made the document the chooser's start before reading its package back.
  reportedPackage_ = browseStartPath_;
  list_.setCurrentIndex(0);
  refreshEntryView();
  arrowKeyPressed_ = true;
  onSelectionChanged();
}

}  // namespace vesk
