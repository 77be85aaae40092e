#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file_operations.h"
#include "base/text_file.h"
#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "model/exhibition_entry.h"
#include "package/build_progress.h"
#include "package/kept_folders.h"
#include "package/package_plan.h"
#include "package/scene_files.h"
#include "package/working_folder.h"

namespace vesk {

// Most entries a package holds.
inline constexpr std::size_t kMaxEntries = 99;

// Gives the destination folder for a create, starting at `startPath`; the empty text
// when the operator cancels. Called only after the entry count has been accepted.
using ChooseDestination = std::function<std::string(const std::string& startPath)>;

enum class BuildStatus {
  Refused,         // no entries or more than 99: its message was shown, nothing else happened
  Stopped,         // a scene, the package builder or the flush failed (or a cancel): no document
  DocumentFailed,  // the document could not be written: its message was shown
  WrittenWithProblems,  // the document was written, but a problem was reported: no success message
  Written,              // the document was written and the success message shown
};

// The entry-count check of a create, made before the destination is asked for: the
// error message to show for `count` entries, or nothing when 1 to 99 are accepted.
std::optional<Message> entryCountProblem(std::size_t count);

// What a create is given: the entries as the operator registered them (their data
// files are rebuilt from the scenes, the given ones are ignored), the destination
// folder the caller has chosen (made when missing) and, when the check was made
// before, its plan.
struct CreateRequest {
  std::vector<ExhibitionEntry> entries;
  std::string destination;
  std::string programFolder;  // holds up.jpg and down.jpg; empty: the running program's folder
  const FileOperations* operations = nullptr;  // copies and flush; null: the system's
  // Reads each scene: once to plan, once to write the document; empty: the file directly.
  SceneReader readScene = nullptr;
  // Where scenes' texts are built, so that the run reuses their memory (the check's plan
  // given in `plan` may have used it too); null: createPackage and replacePackage keep
  // their own, buildPackageInPlace takes fresh memory.
  TextRooms* textRooms = nullptr;
  std::size_t warningCount = 0;  // warnings of the check made before, for the closing summary
  bool writeReport = false;      // also write the report page at the top of the package
  // The plan the check made of these entries; null: the create plans them itself. Its
  // members are made below `destination`, wherever it was planned for.
  std::shared_ptr<const PackagePlan> plan = nullptr;
  // `destination` is the run's own working folder, where a replace builds before its
  // swap: only the folders above it are judged as a destination.
  bool ownWorkingFolder = false;
  // Hash every file as it is written and write the manifest and copy record before the
  // document; off only to measure what hashing costs.
  bool hashContent = true;
  // The folder of an earlier package whose unchanged files may be reused (linked or
  // cloned instead of copied from their sources again); empty: none. Only read.
  std::string earlierPackage = {};
  // Entry folders of the package in `keptIn` that a replace keeps where they are (see
  // keptEntryFolders): the plan leaves them out, and the create lists, verifies and
  // reports them where they lie. Only read. Needs hashContent.
  std::vector<KeptFolder> keptFolders = {};
  std::string keptIn = {};
  // The copy record of `earlierPackage` as the replace read it, with the stamps its
  // keep decision found; null: the create reads the record itself. Only read.
  std::shared_ptr<const EarlierRecord> earlierRecord = nullptr;
};

struct BuildReport {
  BuildStatus status = BuildStatus::Refused;
  std::string documentPath;  // where exhibition.nuv was (to be) written
  std::size_t entryCount = 0;
  std::size_t menuPageCount = 0;
  bool cancelled = false;         // Stopped by the operator's cancel (or a signal)
  std::uint64_t filesCopied = 0;  // files copied, button images included
  std::uint64_t bytesCopied = 0;
  std::uint64_t filesReused = 0;  // of filesCopied: put in place from the earlier package's
  std::uint64_t bytesReused = 0;
  double seconds = 0;  // of a create that was written, by a steady clock
  // Derived by the create: each entry's data files, read from its scene, and every
  // "Sur" group name of the merged scenes.
  std::vector<std::vector<std::string>> dataFiles;
  std::vector<std::string> topGroupNames;
};

// Turns the entries into a package in the chosen destination: checks the count again
// (Refused), takes the plan (or makes it, reading each scene once), and when it holds
// no error makes the destination, lays out the package folders as planned, and writes
// the planned document as exhibition.nuv. Every operator-visible message goes to
// `sink`; `progress` may be null.
//
// A failure is never reported as success: when a scene cannot be read (missing, not
// a regular file, too large) or holds more elements than a package takes, or the
// package builder stops, or the copies cannot be flushed to disk, no document is
// written (an existing one stays as it was); when a problem was reported but the run
// went on, the document is written without the success message. The copies are made
// durable with one flush of the destination's file system before the document is
// committed. With `writeReport`, the report page is written at the top of the
// package once the document has passed its check; a report that cannot be written
// is reported and withholds the success message. The success message carries, on a line below the
// A failure is never reported as success: a plan with an error is refused with the
// check's report before the destination is touched; when the package builder stops
// (a copy fails, a source changed since the plan, a cancel) or the copies cannot be
// flushed to disk, no document is written (an existing one stays as it was); when the
// finished package fails its verify, the document stays without the success message.
// The copies are made durable with one flush of the destination's file system before
// the document is committed. The success message carries, on a line below the
// success text, the summary of the run (see createdMessageText).
//
// The package is built in the destination's working folder and moved into place at
// the end, the document last, so that the destination holds the whole package or,
// after a failure, a cancel or a kill (with the next create's recovery), nothing of
// it: a failed or cancelled create removes everything it made, the destination folders
// it made included, and says so. A create killed earlier in the destination is
// finished or undone first; a working folder that is not Vesk's, or one another run
// holds, stops the create before anything is made.
BuildReport createPackage(const CreateRequest& request, MessageSink& sink,
                          BuildProgress* progress = nullptr);

// createPackage with `hook` seeing every step that changes the disk outside the
// copying. For tests.
BuildReport createPackageStepwise(const CreateRequest& request, MessageSink& sink,
                                  BuildProgress* progress, const StepHook& hook);

// The plan `request` carries, else the one the check makes of its entries, destination
// and program folder (Windows names not checked), its scenes read into request.textRooms.
std::shared_ptr<const PackagePlan> planOfRequest(const CreateRequest& request);

// The create itself, straight into `request.destination` (made when missing), without
// a working folder: what createPackage and a replace run inside their working folder.
BuildReport buildPackageInPlace(const CreateRequest& request, MessageSink& sink,
                                BuildProgress* progress = nullptr);

}  // namespace vesk
