#pragma once

#include <optional>
#include <string>
#include <vector>

#include "messages/message_sink.h"
#include "package/package_check.h"
#include "package/package_swap.h"
#include "package/undo_places.h"

namespace vesk {

// Recovers what a killed create or replace left in `destination` (see
// recoverInterruptedWork) and tells the operator what was done. False, with the error
// shown, when a create or replace into `destination` cannot start: a working folder
// that is not Vesk's, one held by another run, or a recovery that failed.
bool recoverBeforeRun(const std::string& destination, MessageSink& sink);

// For reading the package whose document is `documentPath` (verify, re-import, a
// dropped document): the error saying that a replace there was interrupted and that a
// create into the folder finishes it, when its earlier members lie aside, or that a run
// is writing there now; else nothing.
std::optional<Message> interruptedWorkNotice(const std::string& documentPath);

// For the check of a create into `folder`: where the top-level names of the package
// there lie until the create's recovery undoes the run a kill interrupted there (see
// placesBeforeUndo). Nothing when there is no such undo to come, or something blocks
// it. Reads only.
std::optional<UndoPlaces> packagePlacesUntilUndo(const std::string& folder);

// Names each path of `problems` that lies where `places` says a part lies now by the
// path the undo gives it, in the problem's path and line alike.
void namePathsAfterUndo(std::vector<CheckProblem>& problems, const UndoPlaces& places);

// The error for a working folder that could not be opened; nothing for Opened.
std::optional<Message> workingFolderProblem(WorkingFolderOpening opening, const std::string& path,
                                            int error);

}  // namespace vesk
