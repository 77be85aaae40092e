#include "package/scene_files.h"

#include <optional>

#include "base/cp932.h"
#include "base/file_pieces.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "base/text_file.h"
#include "format/scene_merge.h"
#include "format/scene_scan.h"

namespace vesk {

Result<std::string> readSceneText(const std::string& scenePath, const SceneReader& reader,
                                  const std::atomic<bool>* stop, TextRooms* rooms) {
  if (reader) {
    Result<std::vector<std::string>> lines = reader(scenePath);
    if (!lines) return lines.failure();
    return joinSceneLines(*lines);
  }
  // Decoded as it is read, so that the scene's bytes are never held beside its text.
  std::optional<SceneTextBuilder> text;
  std::uint64_t size = 0;
  const Status read = readFileInPieces(
      scenePath,
      [&](std::string_view bytes) {
        if (!text) text.emplace(size, rooms);
        text->add(bytes);
      },
      &size, stop);
  if (!read) return read.failure();
  if (!text) text.emplace(0, rooms);
  return text->finish();
}

SceneTextBuilder::SceneTextBuilder(std::uint64_t fileSize, TextRooms* rooms)
    // Room for the text is reserved from the file's size (reserved room is not memory
    // used until written), enough for double-byte characters, each three in UTF-8.
    // Not advised onto large pages: where the system compacts memory for them on the
    // first write, a large scene's read stalled for up to a second and a half at random.
    : text_(takeTextRoom(rooms, static_cast<std::size_t>(fileSize + fileSize / 2 + 16))) {
  // A large text is written into room readied at once, up to what it takes in ASCII.
  constexpr std::uint64_t kLargeText = std::uint64_t{4} << 20;
  if (fileSize >= kLargeText) readyRoomForWriting(text_, static_cast<std::size_t>(fileSize));
}

std::string SceneTextBuilder::finish() {
  decoder_.finish(text_);
  if (!text_.empty() && text_.back() != '\n') text_ += '\n';  // as makeSceneText
  return std::move(text_);
}

std::vector<std::string> readSceneLines(const std::string& scenePath) {
  return readTextLines(scenePath).value_or({});
}

void scanSceneData(EntryList& list, std::size_t position) {
  list.dataFilesOf(position) = sceneDataFiles(readSceneLines(list.at(position).scenePath),
                                              folderOf(list.at(position).scenePath));
}

void mergeEntryScene(std::string& text, int entryNumber, const ExhibitionEntry& entry,
                     std::vector<std::string>& topGroupNames) {
  mergeSceneLines(text, entryNumber, readSceneLines(entry.scenePath), topGroupNames);
}

}  // namespace vesk
