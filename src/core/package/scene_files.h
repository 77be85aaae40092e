#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/cp932.h"
#include "base/failure.h"
#include "base/text_rooms.h"
#include "model/entry_list.h"
#include "model/exhibition_entry.h"

namespace vesk {

// Reads a whole scene file (code page 932): its lines as UTF-8, without line ends.
// Used by the create for every scene it reads, so that a test can count the reads.
using SceneReader = std::function<Result<std::vector<std::string>>(const std::string& scenePath)>;

// The scene's text as the merge takes it (joinSceneLines of its lines): read through
// `reader`, or when that is empty straight from the file, decoded in one pass with
// its line ends made LF in place, never split into lines. Fails as the reader (or
// readFile) does. Once `stop` (may be null) is set, the read ends after the current
// piece and fails (Cancelled). The text is built in memory from `rooms` (may be null).
Result<std::string> readSceneText(const std::string& scenePath, const SceneReader& reader = {},
                                  const std::atomic<bool>* stop = nullptr,
                                  TextRooms* rooms = nullptr);

// Builds a scene's text from its file's bytes, given piece by piece in order, exactly
// as readSceneText makes it from the whole file.
class SceneTextBuilder {
 public:
  // `fileSize`: the file's size, for the room reserved for its text, taken from
  // `rooms` (may be null).
  explicit SceneTextBuilder(std::uint64_t fileSize, TextRooms* rooms = nullptr);
  void add(std::string_view bytes) { decoder_.add(bytes, text_); }
  // The text, once every piece was added.
  std::string finish();

 private:
  Cp932PieceDecoder decoder_{true};  // CR LF read as LF as the bytes are decoded
  std::string text_;
};

// The lines of a scene file as splitTextLines gives them. A file that cannot be read
// gives no lines.
std::vector<std::string> readSceneLines(const std::string& scenePath);

// Rebuilds the data-file list of the entry at `position` from its scene (see
// sceneDataFiles). An unreadable scene gives an empty list.
void scanSceneData(EntryList& list, std::size_t position);

// Merges the entry's scene file into `text` (see mergeSceneLines). Only the entry's
// scene path is used; an unreadable scene contributes nothing.
void mergeEntryScene(std::string& text, int entryNumber, const ExhibitionEntry& entry,
                     std::vector<std::string>& topGroupNames);

}  // namespace vesk
