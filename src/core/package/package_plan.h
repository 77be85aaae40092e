#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "format/exhibition_document.h"
#include "package/entry_plan.h"
#include "package/package_check.h"
#include "package/package_members.h"

namespace vesk {

// Follows a plan while it reads its inputs, and lets the caller end it early. Called
// on the thread that makes the plan.
class PlanObserver {
 public:
  virtual ~PlanObserver() = default;
  // The share of the inputs read so far, from 0 to 1.
  virtual void advanced(double fraction) { (void)fraction; }
  // Asked between two inputs; true ends the plan (PackagePlan::cancelled).
  virtual bool cancelRequested() { return false; }
};

// One thing the create makes in the package.
struct PlannedItem {
  enum class Step { MakeFolder, CopyFile };
  Step step = Step::CopyFile;
  int entryNumber = -1;  // -1 for the button images
  PlannedRole role = PlannedRole::Scene;
  std::string source;         // the file copied, or the data folder a folder is made for
  std::string target;         // relative to the package folder, the platform's separators
  std::uint64_t size = 0;     // of the source as planned (a copy)
  std::int64_t modified = 0;  // the source's modification time as planned (a copy)
  // Which file the source was as planned (a copy; FileStamp's device and file number);
  // both 0 where the plan's look does not tell it.
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  std::int64_t changed = 0;  // the source's status change time as planned, where known
};

// One entry of the planned document. The create merges the scene again as it writes
// the document; a merge of another size than planned means the scene has changed.
struct PlannedDocumentEntry {
  std::string scene;             // the scene file merged into the document
  DocumentEntryFacts facts;      // what the document's tail takes of the entry
  std::uint64_t mergedSize = 0;  // its merged scene's text (UTF-8, LF line ends), in bytes
};

// The complete planned package: everything a create makes, what the document it
// writes takes of each entry, and every problem found on the way. Its size does not
// grow with the scenes' text.
struct PackagePlan {
  std::string destination;  // as requested, ending with a separator
  // Folders and copies, in the order the create makes them: each entry folder, its
  // scene, pictures and data (a data folder before its files), then up.jpg, down.jpg.
  std::vector<PlannedItem> items;
  std::vector<std::vector<std::string>> dataFiles;  // each entry's data items, from its scene
  // exhibition.nuv, one entry each (the scene text is not kept); empty on an error.
  std::vector<PlannedDocumentEntry> documentEntries;
  std::uint64_t documentBytes = 0;         // exhibition.nuv's size as written
  std::vector<std::string> topGroupNames;  // every "Sur" group of the merged scenes
  std::uint64_t filesToCopy = 0;
  std::uint64_t bytesToCopy = 0;
  std::uint64_t bytesNeeded = 0;       // what the package takes on the destination, in whole blocks
  std::vector<CheckProblem> problems;  // errors and warnings, destination's first
  bool cancelled = false;              // the observer ended the plan: it is incomplete
  // For a replace: the earlier package's document as the plan read it, which the
  // replace's own looks take again while the document stays the same file.
  std::shared_ptr<DocumentNames> earlierDocument;
};

// Plans the package of `request.entries` in `request.destination`. Reads each scene
// once (through request.readScene), each picture's header once (through
// request.probePicture), and looks at every other source, and every file of a data
// folder, once: the next entry's on a thread of its own while the current entry is
// planned, so holding at most two scenes' text at a time; makes nothing. The problems
// are what a create would meet: with no error the create of this plan succeeds and its
// package passes verifyPackage (faults of the disk aside); a warning never stops it.
// `observer` may be null; then `request.progress`, when given, is told the entries done
// and asked for Cancel. A cancelled plan holds a Cancelled error.
PackagePlan planPackage(const CheckRequest& request, PlanObserver* observer = nullptr);

}  // namespace vesk
