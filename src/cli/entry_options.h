#pragma once

#include <iosfwd>
#include <optional>

#include "commands.h"
#include "messages/message_sink.h"
#include "model/entry_list.h"

namespace CLI {
class App;
}

namespace vesk::cli {

// Adds the options that name a package's entries and destination, shared by `build`
// and `check`: --dest, --program-dir, --from, --replace and --entry.
void addEntryOptions(CLI::App& command, BuildOptions& options);

// The entry list the options name: the entries of the --from package first, then each
// --entry. On a failure (a --from that is missing or no package document, no entries
// or more than a package takes) its message is shown and the exit status returned.
std::optional<int> gatherEntries(const BuildOptions& options, EntryList& list, MessageSink& sink,
                                 std::ostream& err);

}  // namespace vesk::cli
