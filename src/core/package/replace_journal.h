#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/failure.h"

namespace vesk {

// The journal of a swap, in the working folder: the earlier package's members that are
// moved aside and the new package's members that are moved in. Written and made durable
// before the first move; each member then lies either where it was or where it goes,
// since every move is one rename, so the journal and what is on disk tell how far the
// swap got.
struct ReplaceJournal {
  std::vector<std::string> earlier;   // names at the top of the destination, moved aside
  std::vector<std::string> incoming;  // names in the working folder, moved in, document last
  // Entry folders of the earlier package the new one takes as they are: never moved.
  std::vector<std::string> kept;
  // Earlier entry folders the new package takes under another number: each moved aside
  // with the earlier members, then into the working folder under its new name, then
  // in with the new members ({earlier name, new name}).
  std::vector<std::pair<std::string, std::string>> moved;
};

inline constexpr const char* kJournalName = ".vesk-journal";
// A copy of the new package's manifest, written beside the journal: what the swap
// moves in is told from what someone put there by it, wherever the manifest has gone.
inline constexpr const char* kIncomingManifestName = ".vesk-incoming-files";

// The journal's text: a heading line, then one line per member ("earlier NAME",
// "incoming NAME", "kept NAME", "moved NAME NEW-NAME").
std::string journalText(const ReplaceJournal& journal);

// The journal a text holds; nothing for a text that is not one (a torn write cannot
// happen: the journal is replaced atomically) or that names anything but a plain name.
std::optional<ReplaceJournal> parseJournal(const std::string& text);

// Writes the journal into `workingFolder` atomically and durably (the file and the
// folder flushed).
Status writeJournal(const std::string& workingFolder, const ReplaceJournal& journal);

// The journal in `workingFolder`; nothing when there is none or it is not readable.
std::optional<ReplaceJournal> readJournal(const std::string& workingFolder);

}  // namespace vesk
