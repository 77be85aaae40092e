#include "package/package_replace.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "base/file_operations.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/create_summary.h"
#include "package/failure_reason.h"
#include "package/package_layout.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

// Written into the previous folder once every earlier member has been moved there:
// from then on the destination's members are all new ones.
constexpr const char* kMovedAsideMark = ".moved-aside";

std::string join(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (!path.empty() && !isPathSeparator(path.back())) path += kPathSeparator;
  return path + name;
}

bool exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(toFsPath(path), ec));
}

bool removeAll(const std::string& path) {
  std::error_code ec;
  fs::remove_all(toFsPath(path), ec);
  return !ec;
}

bool move(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::rename(toFsPath(from), toFsPath(to), ec);
  return !ec;
}

// The members in the order they are moved aside: the document first, so that the
// destination stops looking like a package as soon as the swap begins.
std::vector<std::string> documentFirst(std::vector<std::string> names) {
  std::stable_partition(names.begin(), names.end(),
                        [](const std::string& name) { return name == kDocumentName; });
  return names;
}

// Holds back the success message of the create into the staging folder until the
// new package is in place; passes everything else on.
class DeferringSink : public MessageSink {
 public:
  explicit DeferringSink(MessageSink& sink) : sink_(sink) {}
  void showMessage(const Message& message) override {
    if (message.kind == MessageKind::Success) {
      held_.push_back(message);
    } else {
      sink_.showMessage(message);
    }
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    return sink_.askYesNo(text, defaultAnswer);
  }
  // Shows the held messages, a success message with `successText`.
  void release(const std::string& successText) {
    for (auto message : held_) {
      if (message.kind == MessageKind::Success) message.text = successText;
      sink_.showMessage(message);
    }
  }

 private:
  MessageSink& sink_;
  std::vector<Message> held_;
};

}  // namespace

std::vector<std::string> packageMemberNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(toFsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = fromFsPath(it->path().filename());
    if (name == kDocumentName || name == kUpButtonName || name == kDownButtonName ||
        name == kReportFileName || name == kManifestName || name == kCopyRecordName ||
        (isEntryFolderName(name) && it->is_directory(ec))) {
      names.push_back(name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

Recovery recoverInterruptedReplace(const std::string& destination) {
  const std::string staging = join(destination, kStagingFolderName);
  const std::string previous = join(destination, kPreviousFolderName);
  const std::string discard = join(destination, kDiscardFolderName);
  Recovery recovery = Recovery::NothingFound;
  if (exists(discard)) {
    removeAll(discard);
    recovery = Recovery::Discarded;
  }
  if (exists(previous)) {
    const bool movedAside = exists(join(previous, kMovedAsideMark));
    if (movedAside && !exists(join(staging, kDocumentName))) {
      // The new document was moved in last: the new package is whole.
      move(previous, discard);
      removeAll(discard);
      removeAll(staging);
      return Recovery::Completed;
    }
    if (movedAside) {
      // Every member in the destination is a new one; the earlier ones wait aside.
      for (const auto& name : packageMemberNames(destination)) {
        removeAll(join(destination, name));
      }
      removeAll(join(previous, kMovedAsideMark));
    }
    // The destination holds no new member now; the earlier ones go back.
    for (const auto& name : packageMemberNames(previous)) {
      if (!exists(join(destination, name))) move(join(previous, name), join(destination, name));
    }
    removeAll(previous);
    removeAll(staging);
    return Recovery::RolledBack;
  }
  if (exists(staging)) {
    removeAll(staging);
    recovery = Recovery::Discarded;
  }
  return recovery;
}

BuildReport replacePackage(const CreateRequest& request, MessageSink& sink, BuildProgress* progress,
                           const SwapStepHook& hook) {
  const auto started = std::chrono::steady_clock::now();
  const std::string& destination = request.destination;
  recoverInterruptedReplace(destination);
  const std::string staging = join(destination, kStagingFolderName);
  const std::string previous = join(destination, kPreviousFolderName);
  const std::string discard = join(destination, kDiscardFolderName);

  BuildReport report;
  report.entryCount = request.entries.size();
  if (const auto problem = entryCountProblem(request.entries.size())) {
    sink.showMessage(*problem);
    return report;
  }
  if (!createDirectory(staging)) {
    sink.showMessage(errorMessage(std::string(kStagingNotCreatedMessage) + staging));
    report.status = BuildStatus::Stopped;
    return report;
  }

  DeferringSink deferring(sink);
  CreateRequest staged = request;
  staged.destination = staging;
  // Unchanged files of the earlier package stand in for their sources.
  if (staged.earlierPackage.empty()) staged.earlierPackage = join(destination, "");
  report = createPackage(staged, deferring, progress);
  report.documentPath = join(destination, kDocumentName);
  if (report.status != BuildStatus::Written) {
    removeAll(staging);
    sink.showMessage(errorMessage(kEarlierPackageKeptMessage));
    if (report.status == BuildStatus::WrittenWithProblems) report.status = BuildStatus::Stopped;
    return report;
  }

  // The swap. Each step is one rename or removal; a kill between two of them leaves
  // what recoverInterruptedReplace puts right.
  const FileOperations system = systemFileOperations();
  const FileOperations& operations = request.operations != nullptr ? *request.operations : system;
  int step = 0;
  const auto proceed = [&] { return !hook || hook(step++); };
  const auto killed = [&] {
    report.status = BuildStatus::Stopped;
    return report;
  };
  const auto failed = [&](const std::string& name) {
    recoverInterruptedReplace(destination);
    sink.showMessage(errorMessage(std::string(kSwapFailedMessage) + name));
    report.status = BuildStatus::Stopped;
    return report;
  };

  if (!proceed()) return killed();
  if (!createDirectory(previous)) return failed(previous);
  for (const auto& name : documentFirst(packageMemberNames(destination))) {
    if (!proceed()) return killed();
    if (!move(join(destination, name), join(previous, name))) return failed(name);
  }
  if (!proceed()) return killed();
  if (!createDirectory(join(previous, kMovedAsideMark))) return failed(kMovedAsideMark);
  std::vector<std::string> incoming = documentFirst(packageMemberNames(staging));
  if (!incoming.empty()) {  // the document last: moving it in completes the package
    std::rotate(incoming.begin(), incoming.begin() + 1, incoming.end());
  }
  for (const auto& name : incoming) {
    if (!proceed()) return killed();
    if (!move(join(staging, name), join(destination, name))) return failed(name);
  }
  // The new package reaches the disk before the earlier one is given up: a power
  // loss from here on leaves the new package, whole.
  int flushError = 0;
  if (!operations.flush(destination, flushError)) {
    // The earlier package stays moved aside; the next run finishes the swap.
    sink.showMessage(errorMessage(withReason(kFlushFailedMessage, systemErrorText(flushError))));
    report.status = BuildStatus::Stopped;
    return report;
  }
  if (!proceed()) return killed();
  move(previous, discard);
  if (!proceed()) return killed();
  removeAll(discard);
  if (!proceed()) return killed();
  removeAll(staging);

  // The summary counts the whole replace, swap included.
  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  deferring.release(
      createdMessageText({report.entryCount, report.filesCopied, report.bytesCopied, report.seconds,
                          request.warningCount, report.filesReused, report.bytesReused}));
  return report;
}

}  // namespace vesk
