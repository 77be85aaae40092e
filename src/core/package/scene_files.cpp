#include "package/scene_files.h"

#include "base/path_terms.h"
#include "base/text_file.h"
#include "format/scene_merge.h"
#include "format/scene_scan.h"

namespace vesk {

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
