#include "format/scene_scan.h"

#include "base/path_terms.h"
#include "format/element_cutter.h"
#include "format/text_ops.h"

namespace vesk {

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

std::vector<std::string> sceneDataFiles(const std::vector<std::string>& sceneLines,
                                        const std::string& sceneFolder) {
  // The scene's lines each followed by a line feed: the same text the merge cuts its
  // elements from, so that both find the same elements with the same values (a value
  // that holds a line break is listed with it, as the document writes it).
  std::string remaining;
  for (const auto& line : sceneLines) {
    remaining += line;
    remaining += '\n';
  }

  std::vector<std::string> dataFiles;
  ElementCutter elements(remaining, "<data", "</data>");
  for (int i = 0; i < kMaxSceneElements; ++i) {
    const std::string element = elements.next();
    if (element.empty()) break;
    dataFiles.push_back(sceneFolder + nativeDataPath(attributeValue(element, "path=\"")));
  }
  return dataFiles;
}

}  // namespace vesk
