#include "package/build_command.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/hash_queue.h"
#include "base/path_terms.h"
#include "base/sha256.h"
#include "base/text_file.h"
#include "format/exhibition_document.h"
#include "format/menu_pages.h"
#include "format/scene_scan.h"
#include "messages/messages.h"
#include "package/concurrent_document.h"
#include "package/create_summary.h"
#include "package/failure_reason.h"
#include "package/failure_text.h"
#include "package/manifest_files.h"
#include "package/package_builder.h"
#include "package/package_check.h"
#include "package/package_layout.h"
#include "package/package_report_file.h"
#include "package/package_verify.h"
#include "package/planned_document.h"
#include "package/scene_files.h"
#include "package/scene_handoff.h"
#include "package/written_verify.h"

namespace vesk {

std::optional<Message> entryCountProblem(std::size_t count) {
  if (count == 0) return errorMessage(kNoEntriesMessage);
  if (count > kMaxEntries) return errorMessage(kTooManyEntriesMessage);
  return std::nullopt;
}

std::shared_ptr<const PackagePlan> planOfRequest(const CreateRequest& request) {
  if (request.plan != nullptr) return request.plan;
  CheckRequest check;
  check.entries = request.entries;
  check.destination = request.destination;
  check.ownWorkingFolder = request.ownWorkingFolder;
  check.programFolder = request.programFolder;
  check.readScene = request.readScene;
  check.textRooms = request.textRooms;
  check.windowsNames = false;
  check.withReport = request.writeReport;
  return std::make_shared<const PackagePlan>(planPackage(check));
}

BuildReport buildPackageInPlace(const CreateRequest& request, MessageSink& sink,
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

  const std::shared_ptr<const PackagePlan> plan = planOfRequest(request);
  report.dataFiles = plan->dataFiles;
  // Nothing is made for a plan the check refuses.
  if (plan->cancelled || hasCheckErrors(plan->problems) || plan->documentEntries.empty()) {
    sink.showMessage(errorMessage(hasCheckErrors(plan->problems) ? checkReportText(plan->problems)
                                                                 : std::string(kCancelledMessage)));
    report.status = BuildStatus::Stopped;
    report.cancelled = plan->cancelled;
    return report;
  }

  // Through base, which takes a destination past 260 characters on Windows.
  const Status made = createFolders(request.destination);
  if (!made) {
    sink.showMessage(errorMessage(withReason(kDestinationNotCreatedMessage + request.destination,
                                             systemReason(made.failure().systemError))));
    report.status = BuildStatus::Stopped;
    return report;
  }

  // Scenes' texts are built in the memory of those done with (the create's and the
  // replace's own, when their caller gives none).
  TextRooms* const rooms = request.textRooms;
  const FileOperations system = systemFileOperations();
  const FileOperations& operations = request.operations != nullptr ? *request.operations : system;
  // The document is written while the files are copied: its scenes' merge and encoding
  // take the other processor. Its bytes are hashed on a thread of their own, as they are
  // written: with a scene of hundreds of MiB the document pass runs on alone after the
  // copies, and hashing beside it instead of between its pieces takes a sixth off the
  // create; with many small scenes both processors are busy anyway and it costs no
  // time. Its file is made in the run's working folder; the move into place brings it
  // in last, after every copy has reached the disk. The hashing is begun here, fed on
  // the document's thread and ended here once that thread has been waited for.
  WrittenDocument written;
  written.path = report.documentPath;
  std::optional<HashQueue> hashing;
  if (request.hashContent) {
    hashing.emplace(operations.hasher);
    hashing->begin();
  }
  const WrittenBytesObserver observe = [&](std::string_view bytes) {
    if (hashing) hashing->add(bytes);
    written.size += bytes.size();
  };
  // Each scene copied is decoded from the bytes copied and handed to the document pass,
  // which then need not read it again. A reader given for the scenes reads them all.
  SceneHandoff scenes(sceneWaits(*plan));
  SceneHandoff* handoff = request.hashContent && !request.readScene ? &scenes : nullptr;
  ConcurrentDocument document([&](const std::atomic<bool>& stop) {
    return writePlannedDocument(*plan, report.documentPath, request.readScene, observe,
                                &written.outline, &stop, handoff, rooms);
  });
  // However this ends, an exception included, the document pass waits for no more
  // scenes once the copies are over, before its thread is joined.
  struct CloseScenes {
    SceneHandoff& scenes;
    ~CloseScenes() { scenes.close(); }
  } closeScenes{scenes};
  // Written after the copies, the document takes no texts: none are kept for it.
  if (!document.alongside()) scenes.closeTaking();
  const PackageOutcome outcome =
      buildPackageFolders(*plan, destination, sink, progress, &operations,
                          BuildContent{request.hashContent, request.earlierPackage,
                                       request.earlierRecord, handoff, rooms});
  report.filesCopied = outcome.filesCopied;
  report.bytesCopied = outcome.bytesCopied;
  report.filesReused = outcome.filesReused;
  report.bytesReused = outcome.bytesReused;
  for (const KeptFolder& kept : request.keptFolders) {
    for (const RecordedFile& file : kept.files) {
      ++report.filesCopied;
      ++report.filesReused;
      report.bytesCopied += file.size;
      report.bytesReused += file.size;
    }
  }
  if (outcome.stopped) {
    document.stop();
    (void)document.wait();
    report.status = BuildStatus::Stopped;
    report.cancelled = outcome.cancelled;
    return report;
  }
  if (progress != nullptr) progress->finishing();
  report.topGroupNames = plan->topGroupNames;
  // The manifest that lists the document follows it, so a package with a document
  // always has its manifest.
  const std::optional<std::string> failed =
      document.wait(progress != nullptr
                        ? std::function<bool()>([progress] { return progress->cancelRequested(); })
                        : std::function<bool()>());
  if (document.cancelled()) {
    report.status = BuildStatus::Stopped;
    report.cancelled = true;
    return report;
  }
  if (failed) {
    sink.showMessage(errorMessage(*failed));
    report.status = BuildStatus::DocumentFailed;
    return report;
  }
  std::vector<RecordedFile> files;
  if (request.hashContent) {
    RecordedFile document;
    document.path = kDocumentName;
    document.size = written.size;
    hashing->end();
    const auto hashes = hashing->finish();
    if (!hashes || hashes->size() != 1) {
      sink.showMessage(errorMessage(withReason(kHashFailedMessage, kReasonHashUnavailable)));
      report.status = BuildStatus::DocumentFailed;
      return report;
    }
    document.hex = hexText(hashes->front().digest);
    files = outcome.written;
    for (const KeptFolder& kept : request.keptFolders) {
      files.insert(files.end(), kept.files.begin(), kept.files.end());
    }
    files.push_back(std::move(document));
    // Made durable by the flush below, with the copies.
    if (const Status listed = writeManifestFiles(destination, files, Durability::AtFileSystemFlush);
        !listed) {
      sink.showMessage(errorMessage(writeFailureText(listed.failure())));
      report.status = BuildStatus::DocumentFailed;
      return report;
    }
  }
  // Every copy, the manifest and the record reach the disk before the document that
  // names them is moved into place.
  if (const Status flushed = operations.flush(destination); !flushed) {
    sink.showMessage(
        errorMessage(withReason(kFlushFailedMessage, systemReason(flushed.failure().systemError))));
    report.status = BuildStatus::Stopped;
    return report;
  }
  // A cancel pressed while the document was finished or the files flushed still stops
  // the run: nothing is in place yet, so the caller undoes it as any other.
  const auto cancelledLate = [&] {
    if (progress == nullptr || !progress->cancelRequested()) return false;
    report.status = BuildStatus::Stopped;
    report.cancelled = true;
    return true;
  };
  if (cancelledLate()) return report;
  // The package is checked as the kiosk will read it before success is reported: the
  // structure of the document as written against the files on disk, and those files
  // against the sizes taken while writing them. Nothing is read back whole.
  const std::vector<PackageProblem> faults =
      request.keptFolders.empty()
          ? verifyWrittenPackage(written, request.hashContent ? &files : nullptr)
          : verifyWrittenWithKeptFolders(written, files, request.keptIn, request.keptFolders,
                                         plannedPictureSizes(*plan));
  if (!faults.empty()) {
    sink.showMessage(errorMessage(verifyFailureText(faults)));
    report.status = BuildStatus::WrittenWithProblems;
    return report;
  }
  if (request.writeReport) {
    // From what the run wrote and checked: nothing is hashed again.
    const std::string pagePath = reportPathOf(report.documentPath);
    const Status page = request.hashContent
                            ? writeWrittenPackageReport(
                                  report.documentPath, pagePath,
                                  {files, keptFolderPlaces(request.keptFolders, request.keptIn)})
                            : writePackageReport(report.documentPath, pagePath);
    if (!page) {
      sink.showMessage(errorMessage(reportFailureText(page.failure())));
      report.status = BuildStatus::WrittenWithProblems;
      return report;
    }
  }
  if (cancelledLate()) return report;
  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  sink.showMessage(successMessage(
      createdMessageText({report.entryCount, report.filesCopied, report.bytesCopied, report.seconds,
                          request.warningCount, report.filesReused, report.bytesReused})));
  report.status = BuildStatus::Written;
  return report;
}

}  // namespace vesk
