#include "package/build_command.h"

#include "base/file_system.h"
#include "base/path_terms.h"
#include "base/text_file.h"
#include "format/exhibition_document.h"
#include "format/menu_pages.h"
#include "format/scene_scan.h"
#include "messages/messages.h"
#include "package/package_builder.h"

namespace vesk {

namespace {

constexpr const char* kDocumentName = "exhibition.nuv";

void reportUnreadablePictures(const std::vector<std::string>& pictures, MessageSink& sink) {
  std::string message = kUnreadablePicturesMessage;
  for (const auto& picture : pictures) message += "\n" + picture;
  sink.showMessage(warningMessage(message));
}

}  // namespace

BuildReport buildExhibition(EntryList& list, const ChooseDestination& chooseDestination,
                            const std::string& browseStartPath,
                            std::vector<std::string>& topGroupNames, MessageSink& sink,
                            BuildProgress* progress, const std::string& programFolderPath) {
  BuildReport report;
  report.entryCount = list.size();
  if (list.empty()) {
    sink.showMessage(errorMessage(kNoEntriesMessage));
    return report;
  }
  if (list.size() > kMaxEntries) {
    sink.showMessage(errorMessage(kTooManyEntriesMessage));
    return report;
  }

  std::string destination = chooseDestination(browseStartPath);
  if (destination.empty()) {
    report.status = BuildStatus::ChooserCancelled;
    return report;
  }
  if (!isPathSeparator(destination.back())) destination += kPathSeparator;
  report.documentPath = destination + kDocumentName;
  report.menuPageCount = static_cast<std::size_t>(menuPageCount(static_cast<int>(list.size())));

  for (std::size_t i = 0; i < list.size(); ++i) scanSceneData(list, i);

  std::vector<ExhibitionEntry> packagedEntries;
  const PackageOutcome outcome = buildPackageFolders(
      list.entries(), packagedEntries, destination,
      programFolderPath.empty() ? programFolder() : programFolderPath, sink, progress);
  report.filesCopied = outcome.filesCopied;
  report.bytesCopied = outcome.bytesCopied;
  if (outcome.stopped) {
    report.status = BuildStatus::Stopped;
    return report;
  }

  DocumentProblems problems;
  const std::string document = assembleExhibitionDocument(packagedEntries, topGroupNames, problems);
  if (!problems.unreadablePictures.empty()) {
    reportUnreadablePictures(problems.unreadablePictures, sink);
  }

  std::string error;
  if (!writeTextFile(report.documentPath, document, error)) {
    sink.showMessage(errorMessage(error));
    report.status = BuildStatus::DocumentFailed;
    return report;
  }
  if (outcome.problems || !problems.unreadablePictures.empty()) {
    report.status = BuildStatus::WrittenWithProblems;
    return report;
  }
  sink.showMessage(successMessage(kCreatedMessage));
  report.status = BuildStatus::Written;
  return report;
}

}  // namespace vesk
