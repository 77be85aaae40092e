#include "package/scene_files.h"

#include "base/cp932.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "base/text_file.h"
#include "format/scene_merge.h"
#include "format/scene_scan.h"

namespace vesk {

Result<std::string> readSceneText(const std::string& scenePath, const SceneReader& reader) {
  if (reader) {
    Result<std::vector<std::string>> lines = reader(scenePath);
    if (!lines) return lines.failure();
    return joinSceneLines(*lines);
  }
  std::string text;
  {
    const Result<std::string> bytes = readFile(scenePath);
    if (!bytes) return bytes.failure();
    text = decodeCp932(*bytes);
  }
  makeSceneText(text);
  return text;
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
