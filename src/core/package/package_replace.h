#pragma once

#include <functional>
#include <string>
#include <vector>

#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/build_command.h"
#include "package/build_progress.h"
#include "package/package_layout.h"

namespace vesk {

// Folders a replace keeps inside the destination while it runs; a package never
// holds them otherwise.
inline constexpr const char* kStagingFolderName = ".vesk-staging";    // the new package
inline constexpr const char* kPreviousFolderName = ".vesk-previous";  // the earlier one
inline constexpr const char* kDiscardFolderName = ".vesk-discard";    // the earlier one, done

// The names at the top of `folder` that belong to a package: exhibition.nuv, up.jpg,
// down.jpg, the report page and the two-digit entry folders. Nothing else is ever moved or removed.
std::vector<std::string> packageMemberNames(const std::string& folder);

// Called before each step of the swap with the step's number from 0; returning false
// ends the run at once, without any clean-up, as a killed process would. For tests.
using SwapStepHook = std::function<bool(int step)>;

enum class Recovery {
  NothingFound,  // no leftover of a replace
  Discarded,     // a leftover staging or discarded folder was removed; the package is as it was
  RolledBack,    // a swap had not finished: the earlier package was put back
  Completed,     // a swap had finished: the new package stays, the earlier one was removed
};

// Finds the leftovers of a replace that was killed in `destination` and brings it to
// the earlier or the new package, whole. Touches nothing else.
Recovery recoverInterruptedReplace(const std::string& destination);

// Replaces the package in `request.destination` by a new one: recovers leftovers of
// an earlier run, builds the new package into the staging folder inside the
// destination (the create verifies it), then moves the earlier package's members
// aside, the new ones in (exhibition.nuv last) and removes the earlier ones. When the
// new package cannot be built or a move fails, the earlier package stays or is put
// back whole, and the operator is told so. The entries may come from the package
// being replaced. The success message is shown only once the new package is in place.
BuildReport replacePackage(const CreateRequest& request, MessageSink& sink,
                           BuildProgress* progress = nullptr, const SwapStepHook& hook = {});

}  // namespace vesk
