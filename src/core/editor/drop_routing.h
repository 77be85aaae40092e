#pragma once

#include <functional>
#include <string>
#include <vector>

#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/build_progress.h"

namespace vesk {

// What one drop works on: the dialog's entry list and chooser start, the operator
// (questions and the re-import's messages) and the dialog's redraws.
struct DropTarget {
  EntryList& list;
  std::string& browseStartPath;
  MessageSink& sink;
  // Writes the working entry into the three path fields.
  std::function<void()> showWorkingEntry;
  // Redraws the list after a re-import and shows its first entry.
  std::function<void()> showReimportedPackage;
  // Finishes or undoes what a killed create or replace left in a package's folder,
  // behind the progress window; true when the folder holds a whole package again. Empty:
  // such a package is only named.
  std::function<bool(const std::string& folder)> recoverFolder;
  // Runs a re-import's reading off the dialog's thread behind the progress window (a
  // package on a slow share takes a while), its progress and Cancel going to the job;
  // false when the operator cancelled. Empty: the reading runs on the caller's thread.
  std::function<bool(const std::function<void(BuildProgress& progress)>& job)> runBehindProgress;
};

// Stores `path` in the field of the working entry that its file role names: a scene
// file, or a picture by its shape. Anything else, a picture whose size cannot be
// read included, changes nothing.
void routeDroppedFile(const std::string& path, EntryList& list);

// Handles one drop, path by path in delivery order. A file named exactly
// exhibition.nuv asks whether to read its package back: Yes reads it (the list is
// replaced and redrawn, and then the re-import's messages are shown) and goes on
// with the next path, No ends the drop, keeping what the earlier paths did. A Yes for
// a document whose folder holds no folder 00 keeps the list, the working entry and
// the count as they were and shows kNoPackageFoundMessage with that folder. A package
// a killed replace left half done asks whether to undo that first (Yes, the default,
// undoes it through recoverFolder and reads the package put back; No, a cancel or a
// failed undo ends the drop); where something blocks the undo, or no recoverFolder is
// given, it is named. The reading runs through runBehindProgress: a cancel ends the
// drop, the list and its fields as they were. Every
// other path fills its field of the working entry (a scene file also becomes the
// chooser's start) and the fields are redrawn. The list and its current entry change
// only through a re-import.
void routeDroppedFiles(const std::vector<std::string>& paths, DropTarget& target);

}  // namespace vesk
