#pragma once

#include <optional>
#include <string>

#include "messages/message_sink.h"
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

// The error for a working folder that could not be opened; nothing for Opened.
std::optional<Message> workingFolderProblem(WorkingFolderOpening opening, const std::string& path,
                                            int error);

}  // namespace vesk
