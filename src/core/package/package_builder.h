#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/file_operations.h"
#include "format/copy_record.h"
#include "messages/message_sink.h"
#include "package/build_progress.h"
#include "package/copy_reuse.h"
#include "package/package_plan.h"

namespace vesk {

class PackageCopier;
class SceneHandoff;

// How a run of the package builder ended.
struct PackageOutcome {
  bool stopped = false;    // a failure (or a cancel) ended the run early; its message was shown
  bool cancelled = false;  // it was the observer's cancel that ended it
  std::uint64_t filesCopied = 0;  // files put in place, reused ones included
  std::uint64_t bytesCopied = 0;
  std::uint64_t filesReused = 0;  // linked, cloned or copied from the earlier package's file
  std::uint64_t bytesReused = 0;
  // With hashing: every file put in place, with its size and hash as written.
  std::vector<RecordedFile> written;
};

// What the package builder does beyond copying.
struct BuildContent {
  // Hash every file as it is written (PackageOutcome::written) and reuse files already
  // in place: a source named twice is read once, further copies linked where the
  // file system allows.
  bool hash = true;
  // The folder of an earlier package (ending with a separator) whose files, by its
  // copy record, may stand for unchanged sources; empty: none. Only read.
  std::string earlierPackage = {};
  // That package's copy record as the run has read it already (see readEarlierRecord);
  // null: read from earlierPackage.
  std::shared_ptr<const EarlierRecord> earlierRecord = nullptr;
  // Given (with hashing), each scene copied is decoded from the bytes written and its
  // text offered to the document pass; closed when the run ends. Must outlive the run.
  SceneHandoff* scenes = nullptr;
  // Where those texts are built; may be null. Must outlive the run.
  TextRooms* textRooms = nullptr;
};

// Makes the folders and copies of `plan` below `packageFolder` (ending with a
// separator; it exists), in the plan's order, deriving nothing again. Before each copy
// the source's kind, size and modification time are compared with the plan's: a
// source changed since the plan stops the run with a message naming it. Otherwise the
// run stops at the first failure (a source gone, a copy or folder failing) or cancel, after showing
// its message with the reason on its own line; nothing created is removed. `operations` (null: the
// system's) performs the copies. Nothing is written outside `packageFolder`.
PackageOutcome buildPackageFolders(const PackagePlan& plan, const std::string& packageFolder,
                                   MessageSink& sink, BuildProgress* progress = nullptr,
                                   const FileOperations* operations = nullptr,
                                   const BuildContent& content = {});

enum class FolderCopyResult { Copied, Failed, Cancelled };

// Copies the planned files of one data folder, `files` (the copies the plan lists
// after the folder), into the folder made for it below `packageFolder`. At the first
// failed or changed copy it shows its message and returns Failed; the files after it
// are not copied. Returns Cancelled, after showing the cancelled message, when the
// copier's observer asks to stop (before a file or during its copy).
FolderCopyResult copyFolderFiles(const std::vector<const PlannedItem*>& files,
                                 const std::string& packageFolder, PackageCopier& copier,
                                 MessageSink& sink);

}  // namespace vesk
