#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/file_operations.h"
#include "messages/message_sink.h"
#include "model/exhibition_entry.h"
#include "package/build_progress.h"

namespace vesk {

// How a run of the package builder ended.
struct PackageOutcome {
  bool stopped = false;   // a failure (or a cancel) ended the run early; its message was shown
  bool problems = false;  // kept for callers; a failure inside a data folder now stops the run
  std::uint64_t filesCopied = 0;
  std::uint64_t bytesCopied = 0;
};

// Lays out the package in `destinationFolder` (ending with a separator): one new entry
// folder NN per entry holding copies of its scene, thumbnail, description picture,
// data files and data folders (first level only), then up.jpg and down.jpg from
// `programFolder` at the top. Data values below the scene folder keep their
// sub-folders; others are copied by their last component. A data item without an
// extension is a folder unless it names an existing file. `packagedEntries` becomes
// `entries` with every path handled replaced by its copy's path.
//
// Before anything is made, the run is refused (stopped, one message) when two
// different files of an entry would land on one name in its entry folder, or a
// picture's name holds a double quote or a line break. Otherwise it stops at the
// first failure (a missing or unreadable data folder and a failed copy inside one
// included) or cancel, after showing its message with the reason on its own line;
// nothing created is removed. `operations` (null: the system's) performs the copies.
PackageOutcome buildPackageFolders(std::vector<ExhibitionEntry> entries,
                                   std::vector<ExhibitionEntry>& packagedEntries,
                                   const std::string& destinationFolder,
                                   const std::string& programFolder, MessageSink& sink,
                                   BuildProgress* progress = nullptr,
                                   const FileOperations* operations = nullptr);

}  // namespace vesk

namespace vesk {

class PackageCopier;

enum class FolderCopyResult { Copied, Failed, Cancelled };

// Copies every file that lies directly in `sourceFolder` into `targetFolder` (both
// ending with a separator; the target exists), in sorted order; subfolders are left
// out. At the first failed copy it shows its message and returns Failed; the files
// after it are not copied. Returns Cancelled, without a message, when the copier's
// observer asks to stop.
FolderCopyResult copyFolderFiles(const std::string& sourceFolder, const std::string& targetFolder,
                                 PackageCopier& copier, MessageSink& sink);

// The same for a folder already listed: `files` are its files in sorted order.
FolderCopyResult copyListedFiles(const std::vector<std::string>& files,
                                 const std::string& targetFolder, PackageCopier& copier,
                                 MessageSink& sink);

}  // namespace vesk
