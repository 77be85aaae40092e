#pragma once

#include <ostream>
#include <vector>

#include "commands.h"
#include "interrupt_guard.h"
#include "messages/message_sink.h"
#include "model/exhibition_entry.h"
#include "package/build_command.h"

namespace vesk::cli {

// Checks `entries` for a create into options.destination as `build` does, the problems
// on `err` (an error stops it before anything is made), then creates the package: in
// place of the earlier one when `replace`. The create's report, its warnings counted
// in its summary; Stopped after an error of the check. `guard` answers signals.
BuildReport checkThenBuild(const std::vector<ExhibitionEntry>& entries, const BuildOptions& options,
                           bool replace, MessageSink& sink, std::ostream& err,
                           InterruptGuard& guard);

}  // namespace vesk::cli
