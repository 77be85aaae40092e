#pragma once

#include <iosfwd>
#include <optional>

#include "commands.h"
#include "messages/message_sink.h"
#include "model/entry_list.h"
#include "package/undo_places.h"

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
// For the check (`placesUntilUndo` not null), which changes nothing: the package in the
// destination itself, whose interrupted run the create undoes before it reads anything,
// is read where its parts lie until then, for --from and --entry alike.
std::optional<int> gatherEntries(const BuildOptions& options, EntryList& list, MessageSink& sink,
                                 std::ostream& err, const UndoPlaces* placesUntilUndo = nullptr);

}  // namespace vesk::cli
