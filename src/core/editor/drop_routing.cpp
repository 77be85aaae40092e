#include "editor/drop_routing.h"

#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "package/file_role.h"
#include "package/package_layout.h"
#include "package/package_reimport.h"
#include "package/package_swap.h"
#include "package/recovery_report.h"

namespace vesk {

namespace {

// Holds the messages of a re-import until the list has been redrawn, so that the
// operator reads them with the new list in view. Questions go through at once.
class HeldMessages : public MessageSink {
 public:
  explicit HeldMessages(MessageSink& target) : target_(target) {}

  void showMessage(const Message& message) override { held_.push_back(message); }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    return target_.askYesNo(text, defaultAnswer);
  }

  void release() {
    for (const Message& message : held_) target_.showMessage(message);
    held_.clear();
  }

 private:
  MessageSink& target_;
  std::vector<Message> held_;
};

}  // namespace

void routeDroppedFile(const std::string& path, EntryList& list) {
  assignRole(list.workingEntry(), fileRoleOf(path), path);
}

void routeDroppedFiles(const std::vector<std::string>& paths, DropTarget& target) {
  for (const std::string& path : paths) {
    // Folders are passed over, whatever their names end with ("x.nuv", "exhibition.nuv").
    if (isDirectory(path)) continue;
    if (isDocumentName(path)) {
      // Yes replaces the list: the default only while there is no list to lose.
      const DefaultAnswer answer = target.list.empty() ? DefaultAnswer::Yes : DefaultAnswer::No;
      if (!target.sink.askYesNo(kReimportQuestion, answer)) return;
      const std::string earlierStart = target.browseStartPath;
      target.browseStartPath = path;
      // Without the folder 00 there is no package here (a stray file of the document's
      // name, or a document moved away from its folders): reading it would only empty
      // the list.
      const std::string packageFolder = folderOf(path);
      if (const auto notice = interruptedWorkNotice(path)) {
        // Put back first when the operator agrees: read as it lies, it would be a mixture
        // of two packages. An undo that something blocks is named instead.
        const std::string folder = packageFolder.empty() ? std::string(".") : packageFolder;
        // Only an interrupted run is put back; one still writing there is waited for.
        if (!target.recoverFolder || pendingRecovery(folder) != Recovery::RolledBack ||
            !recoveryBlockers(folder).empty()) {
          target.sink.showMessage(*notice);
          continue;
        }
        if (!target.sink.askYesNo(kInterruptedPackageRecoverQuestion, DefaultAnswer::Yes)) return;
        // A cancel or a failed undo ends the drop, as a No does.
        if (!target.recoverFolder(folder)) return;
      }
      // Read into a copy, which takes the list's place only when read to the end.
      EntryList read = target.list;
      HeldMessages held(target.sink);
      bool isPackage = false;
      bool readWhole = false;
      const auto readBack = [&](BuildProgress& progress) {
        // Nothing to count ahead: the progress names each folder as it is read.
        progress.started(0, 0);
        progress.fileStarted(path);
        isPackage = isPackageDocument(path);
        if (isPackage) readWhole = reimportPackage(path, read, held, &progress);
      };
      // A cancel ends the drop as if the package had not been dropped.
      const auto cancelled = [&] { target.browseStartPath = earlierStart; };
      if (target.runBehindProgress) {
        if (!target.runBehindProgress(readBack)) return cancelled();
      } else {
        BuildProgress none;
        readBack(none);
      }
      if (!isPackage) {
        target.sink.showMessage(
            errorMessage(std::string(kNoPackageFoundMessage) + "\n" + packageFolder));
        continue;
      }
      if (!readWhole) return cancelled();
      target.list = std::move(read);
      target.showReimportedPackage();
      held.release();
      continue;
    }
    if (lowerAscii(extensionOf(path)) == ".nuv") target.browseStartPath = path;
    routeDroppedFile(path, target.list);
    target.showWorkingEntry();
  }
}

}  // namespace vesk
