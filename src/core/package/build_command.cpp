#include "package/build_command.h"

#include <chrono>

#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "base/text_file.h"
#include "format/exhibition_document.h"
#include "format/menu_pages.h"
#include "format/scene_scan.h"
#include "messages/messages.h"
#include "package/create_summary.h"
#include "package/document_inputs.h"
#include "package/failure_reason.h"
#include "package/failure_text.h"
#include "package/package_builder.h"
#include "package/package_report_file.h"
#include "package/package_verify.h"
#include "package/scene_files.h"

namespace vesk {

namespace {

constexpr const char* kDocumentName = "exhibition.nuv";

void reportPictures(const char* text, const std::vector<std::string>& pictures, MessageSink& sink) {
  std::string message = text;
  for (const auto& picture : pictures) message += "\n" + picture;
  sink.showMessage(warningMessage(message));
}

}  // namespace

std::optional<Message> entryCountProblem(std::size_t count) {
  if (count == 0) return errorMessage(kNoEntriesMessage);
  if (count > kMaxEntries) return errorMessage(kTooManyEntriesMessage);
  return std::nullopt;
}

BuildReport createPackage(const CreateRequest& request, MessageSink& sink,
                          BuildProgress* progress) {
  const auto started = std::chrono::steady_clock::now();
  BuildReport report;
  report.entryCount = request.entries.size();
  if (const auto problem = entryCountProblem(request.entries.size())) {
    sink.showMessage(*problem);
    return report;
  }
  std::string destination = request.destination;
  if (destination.empty() || !isPathSeparator(destination.back())) destination += kPathSeparator;
  report.documentPath = destination + kDocumentName;
  report.menuPageCount =
      static_cast<std::size_t>(menuPageCount(static_cast<int>(request.entries.size())));

  // Each scene is read once: its lines give the data files now and the merged scene
  // in the document later. A scene that cannot be read stops the create before
  // anything is made.
  std::vector<ExhibitionEntry> entries = request.entries;
  std::vector<std::vector<std::string>> sceneLines;
  for (auto& entry : entries) {
    Result<std::vector<std::string>> lines = request.readScene(entry.scenePath);
    // A missing scene is reported by the package builder, with its own message.
    if (!lines && fileKindOf(entry.scenePath) == FileKind::Missing) {
      lines = std::vector<std::string>{};
    }
    if (!lines) {
      sink.showMessage(errorMessage(withReason(
          fileNameOf(entry.scenePath) + kSceneReadFailed,
          entry.scenePath + ": " + copyFailureReason(entry.scenePath, lines.failure()))));
      report.status = BuildStatus::Stopped;
      return report;
    }
    if (sceneHasTooManyElements(*lines)) {
      sink.showMessage(errorMessage(kTooManyElementsMessage + ("\n" + entry.scenePath)));
      report.status = BuildStatus::Stopped;
      return report;
    }
    sceneLines.push_back(std::move(*lines));
    entry.dataFiles = sceneDataFiles(sceneLines.back(), folderOf(entry.scenePath));
    report.dataFiles.push_back(entry.dataFiles);
  }

  const FileOperations system = systemFileOperations();
  const FileOperations& operations = request.operations != nullptr ? *request.operations : system;
  std::vector<ExhibitionEntry> packagedEntries;
  const PackageOutcome outcome =
      buildPackageFolders(std::move(entries), packagedEntries, destination,
                          request.programFolder.empty() ? programFolder() : request.programFolder,
                          sink, progress, &operations);
  report.filesCopied = outcome.filesCopied;
  report.bytesCopied = outcome.bytesCopied;
  if (outcome.stopped) {
    report.status = BuildStatus::Stopped;
    return report;
  }
  // Every copy reaches the disk before the document that names them is committed.
  int flushError = 0;
  if (!operations.flush(destination, flushError)) {
    sink.showMessage(errorMessage(withReason(kFlushFailedMessage, systemErrorText(flushError))));
    report.status = BuildStatus::Stopped;
    return report;
  }

  DocumentProblems problems;
  const std::string document = assembleExhibitionDocument(
      documentEntries(packagedEntries, std::move(sceneLines), problems), report.topGroupNames);
  if (!problems.unreadablePictures.empty()) {
    reportPictures(kUnreadablePicturesMessage, problems.unreadablePictures, sink);
  }
  if (!problems.unsupportedPictures.empty()) {
    reportPictures(kUnsupportedPicturesMessage, problems.unsupportedPictures, sink);
  }

  const Status written = writeTextFile(report.documentPath, document);
  if (!written) {
    sink.showMessage(errorMessage(writeFailureText(written.failure())));
    report.status = BuildStatus::DocumentFailed;
    return report;
  }
  // The package is checked as the kiosk will read it before success is reported.
  // Pictures whose size could not be read were reported above.
  std::vector<PackageProblem> faults;
  for (auto& fault : verifyPackage(report.documentPath)) {
    if (fault.fault != PackageFault::PictureUnreadable) faults.push_back(std::move(fault));
  }
  if (!faults.empty()) sink.showMessage(errorMessage(verifyFailureText(faults)));
  bool reportFailed = false;
  if (request.writeReport) {
    const Status written =
        writePackageReport(report.documentPath, reportPathOf(report.documentPath));
    if (!written) {
      sink.showMessage(errorMessage(reportFailureText(written.failure())));
      reportFailed = true;
    }
  }
  if (outcome.problems || !problems.unreadablePictures.empty() ||
      !problems.unsupportedPictures.empty() || !faults.empty() || reportFailed) {
    report.status = BuildStatus::WrittenWithProblems;
    return report;
  }
  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  sink.showMessage(
      successMessage(createdMessageText({report.entryCount, report.filesCopied, report.bytesCopied,
                                         report.seconds, request.warningCount})));
  report.status = BuildStatus::Written;
  return report;
}

BuildReport buildExhibition(EntryList& list, const ChooseDestination& chooseDestination,
                            const std::string& browseStartPath,
                            std::vector<std::string>& topGroupNames, MessageSink& sink,
                            BuildProgress* progress, const std::string& programFolderPath) {
  if (const auto problem = entryCountProblem(list.size())) {
    sink.showMessage(*problem);
    BuildReport report;
    report.entryCount = list.size();
    return report;
  }
  const std::string destination = chooseDestination(browseStartPath);
  if (destination.empty()) {
    BuildReport report;
    report.status = BuildStatus::ChooserCancelled;
    report.entryCount = list.size();
    return report;
  }
  BuildReport report =
      createPackage({list.entries(), destination, programFolderPath}, sink, progress);
  for (std::size_t i = 0; i < report.dataFiles.size(); ++i) {
    list.dataFilesOf(i) = report.dataFiles[i];
  }
  // The top group names are refilled once the document has been assembled.
  if (report.status != BuildStatus::Stopped) topGroupNames = report.topGroupNames;
  return report;
}

}  // namespace vesk
