#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "editor/build_runner.h"
#include "editor/dialog_view.h"
#include "editor/drop_routing.h"
#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/build_command.h"

namespace vesk {

// Writes the report page of the package whose document is the first path to the
// second: writePackageReport, or another for tests.
using ReportWriter =
    std::function<Status(const std::string& documentPath, const std::string& outputPath)>;

// Where the report goes when the package's folder takes no file (read-only): the
// system's temporary folder, or another for tests.
using TemporaryFolder = std::function<std::string()>;

// Keys the dialog's key filter tells apart.
enum class DialogKey { Enter, Escape, Left, Up, Right, Down, Other };

// The main dialog's state and command handlers, independent of any toolkit. It owns
// the entry list, the chooser's starting path and the arrow-key flag, and redraws the view it is
// given from the list. Every call comes from the dialog's thread.
class DialogController {
 public:
  DialogController(DialogView& view, MessageSink& sink, ChooseDestination chooseDestination,
                   BuildFunction build = createPackage, CheckFunction check = {});
  // `check` empty: planPackage.

  // The state of a freshly opened dialog: no current entry, the arrow-key flag
  // clear, the chooser starting at the platform's default folder, and the list
  // box's rectangle taken from the view (call once the view is laid out).
  void initialise();

  // Replaces how the report page is written and where it goes when the package's
  // folder takes no file.
  void setReportServices(ReportWriter writer, TemporaryFolder temporaryFolder);

  // Lets a windowed runner run the checks and builds of later creates off the dialog's
  // thread; null runs them in place with the dialog's sink and without progress.
  void setBuildRunner(BuildRunner* runner) { runner_ = runner; }

  // Command handlers. While a create runs they do nothing.
  void onAdd();
  void onDelete();
  void onUp();
  void onDown();
  // The list box reports a selection change made by the operator.
  void onSelectionChanged();
  // The create command: count check, destination chooser, the replace question (No,
  // its default, ends the command), the check (through the runner, which the operator
  // may cancel; its problems shown in one window, where the operator goes on or stops),
  // then the build (through the runner).
  void onCreate();
  // One drop of local files, in delivery order; ignored unless drops are accepted.
  void onFilesDropped(const std::vector<std::string>& paths);
  // 確認ページを開く: writes the report page of the last package created (its document
  // written) or read back from a dropped exhibition.nuv into that package, or into
  // the temporary folder when the package's folder takes no file, and opens it in
  // the browser. Without such a package, or when the page cannot be written or
  // opened, tells the operator why.
  void onOpenReport();

  // The key filter, for a key pressed in any control of the dialog: true when the
  // key must not be processed further (Enter, Escape). An arrow key sets the
  // arrow-key flag and goes on.
  bool onKeyDown(DialogKey key);

  // Redraws the list with the current entry selected and writes the count.
  void refreshEntryView();
  // Writes the working entry into the three path fields.
  void showWorkingEntry();
  // Redraws the list with the current entry selected; the count stays.
  void rebuildList();

  bool busy() const { return busy_; }
  // False while a create runs or a drop is being handled (its question may be
  // open): a drop arriving then is refused rather than nested in the first.
  bool acceptsDrops() const { return !busy_ && !handlingDrop_; }
  const EntryList& entryList() const { return list_; }
  EntryList& entryList() { return list_; }
  const std::string& browseStartPath() const { return browseStartPath_; }
  bool arrowKeyPressed() const { return arrowKeyPressed_; }
  const ViewRect& listBoxRect() const { return listBoxRect_; }
  // The document of the package 確認ページを開く reports on; empty before any.
  const std::string& reportedPackage() const { return reportedPackage_; }

 private:
  // After a re-import: entry 0 current, the list and count redrawn, and the
  // selection handled as if made by an arrow key, so that entry 0 is shown.
  void showReimportedPackage();
  // After a create written into `packageFolder`: entries that named files of the
  // package it replaced name their copies, and the view shows them.
  void pointEntriesAtCopies(const PackagePlan& plan, const std::string& packageFolder);
  // Runs the check before a create into `request.destination`; true when the create
  // may go on, with the warnings the operator accepted counted in `request`.
  bool confirmCheck(CreateRequest& request, bool replacing);
  // Runs `job` through the runner, or in place without one; false when the operator
  // cancelled it.
  bool runInBackground(ProgressStage stage, const BackgroundJob& job);

  DialogView& view_;
  MessageSink& sink_;
  ChooseDestination chooseDestination_;
  BuildFunction build_;
  CheckFunction check_;
  BuildRunner* runner_ = nullptr;
  ReportWriter writeReport_;
  TemporaryFolder temporaryFolder_;

  EntryList list_;
  std::string browseStartPath_;
  bool arrowKeyPressed_ = false;
  ViewRect listBoxRect_;
  bool busy_ = false;
  bool handlingDrop_ = false;
  std::string reportedPackage_;
};

}  // namespace vesk
