#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/build_command.h"
#include "package/build_progress.h"
#include "package/package_layout.h"
#include "package/working_folder.h"

namespace vesk {

// The folder a replace builds the new package in (the working folder).
inline constexpr const char* kStagingFolderName = kWorkingFolderName;

// Called before each step of a replace (see StepHook). For tests.
using SwapStepHook = StepHook;

// Replaces the package in `request.destination` by a new one: finishes or undoes a
// create or replace killed earlier there, refuses (naming them) anything in the way
// that the earlier package does not own (see replaceObstacles), builds the new package
// in the locked working folder inside the destination (the create verifies it), then
// swaps it in from a journal (see swapPackageIn). When the new package cannot be built,
// the run is cancelled or a move fails, the earlier package stays or is put back whole,
// the working folder is removed and the operator is told so; a kill at any step leaves
// what the next create's or replace's recovery brings to the earlier or the new
// package, whole. The entries may come from the package being replaced. The success
// message is shown only once the new package is in place.
BuildReport replacePackage(const CreateRequest& request, MessageSink& sink,
                           BuildProgress* progress = nullptr, const StepHook& hook = {});

}  // namespace vesk
