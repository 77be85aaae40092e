#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "messages/message_sink.h"
#include "package/package_check.h"
#include "package/package_swap.h"

namespace vesk {

// Recovers what a killed create or replace left in `destination` (see
// recoverInterruptedWork) and tells the operator what was done. False, with the error
// shown, when a create or replace into `destination` cannot start: a working folder
// that is not Vesk's, one held by another run, or a recovery that failed.
bool recoverBeforeRun(const std::string& destination, MessageSink& sink);

// For reading the package whose document is `documentPath` (verify, re-import, a
// dropped document): the error saying that a replace there was interrupted and that a
// create into the folder finishes it, when its earlier members lie aside; else nothing.
std::optional<Message> interruptedWorkNotice(const std::string& documentPath);

// For the check of a create that reads back the package in its own destination
// `folder` (--from there): where each top-level name of that package lies until the
// create's recovery undoes the interrupted run there (see placesBeforeUndo; "" for a
// name the undo leaves absent, a name not listed lies in place). Nothing when there is
// no such undo to come, or something blocks it. Reads only.
std::optional<std::map<std::string, std::string>> packagePlacesUntilUndo(const std::string& folder);

// Names each path of `problems` that lies in a place `places` names (see
// packagePlacesUntilUndo) by the path the undo gives it in `folder`, in the problem's
// path and line alike; other paths stay as they are.
void namePathsAfterUndo(std::vector<CheckProblem>& problems, const std::string& folder,
                        const std::map<std::string, std::string>& places);

// The error for a working folder that could not be opened; nothing for Opened.
std::optional<Message> workingFolderProblem(WorkingFolderOpening opening, const std::string& path,
                                            int error);

}  // namespace vesk
