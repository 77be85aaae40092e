#include "generate/scene_scan.h"

#include "generate/element_cutter.h"
#include "generate/text_ops.h"
#include "platform/path_terms.h"
#include "platform/text_file.h"

namespace vesk {

std::vector<std::string> readSceneLines(const std::string& scenePath) {
  auto lines = readTextLines(scenePath);
  return lines ? std::move(*lines) : std::vector<std::string>{};
}

// A `path` value as the file system on this platform names it: the scene format
// separates sub-folders with backslashes.
static std::string nativeDataPath(std::string value) {
#ifndef _WIN32
  for (char& c : value) {
    if (c == '\\') c = kPathSeparator;
  }
#endif
  return value;
}

void scanSceneData(EntryList& list, std::size_t position) {
  // The scene's lines each followed by a line feed: the same text the merge cuts its
  // elements from, so that both find the same elements with the same values (a value
  // that holds a line break is listed with it, as the document writes it).
  std::string remaining;
  for (const auto& line : readSceneLines(list.at(position).scenePath)) {
    remaining += line;
    remaining += '\n';
  }
  const std::string sceneFolder = folderOf(list.at(position).scenePath);

  auto& dataFiles = list.dataFilesOf(position);
  dataFiles.clear();
  ElementCutter elements(remaining, "<data", "</data>");
  for (int i = 0; i < kMaxSceneElements; ++i) {
    const std::string element = elements.next();
    if (element.empty()) break;
    dataFiles.push_back(sceneFolder + nativeDataPath(attributeValue(element, "path=\"")));
  }
}

}  // namespace vesk
