#include "format/scene_scan.h"

#include <cstring>

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

std::string joinSceneLines(const std::vector<std::string>& sceneLines) {
  std::size_t size = 0;
  for (const auto& line : sceneLines) size += line.size() + 1;
  std::string text;
  text.reserve(size);
  for (const auto& line : sceneLines) {
    text += line;
    text += '\n';
  }
  return text;
}

void makeSceneText(std::string& decoded) {
  // Each CR LF loses its CR: the text between them moves down in one piece.
  std::size_t kept = decoded.find("\r\n");
  if (kept != std::string::npos) {
    std::size_t from = kept + 1;  // the LF
    for (;;) {
      const std::size_t next = decoded.find("\r\n", from);
      const std::size_t until = next == std::string::npos ? decoded.size() : next;
      std::memmove(decoded.data() + kept, decoded.data() + from, until - from);
      kept += until - from;
      if (next == std::string::npos) break;
      from = next + 1;
    }
    decoded.resize(kept);
  }
  if (!decoded.empty() && decoded.back() != '\n') decoded += '\n';
}

std::string sceneDataFile(const std::string& sceneFolder, const std::string& value) {
  return sceneFolder + nativeDataPath(value);
}

std::vector<std::string> sceneDataFiles(const std::vector<std::string>& sceneLines,
                                        const std::string& sceneFolder) {
  // The same text the merge cuts its elements from, so that both find the same
  // elements with the same values (a value that holds a line break is listed with
  // it, as the document writes it).
  std::string remaining = joinSceneLines(sceneLines);

  std::vector<std::string> dataFiles;
  ElementCutter elements(remaining, "<data", "</data>");
  for (int i = 0; i < kMaxSceneElements; ++i) {
    const std::string element = elements.next();
    if (element.empty()) break;
    dataFiles.push_back(sceneDataFile(sceneFolder, attributeValue(element, "path=\"")));
  }
  return dataFiles;
}

bool sceneHasTooManyElements(const std::vector<std::string>& sceneLines) {
  return sceneTextHasTooManyElements(joinSceneLines(sceneLines));
}

bool sceneTextHasTooManyElements(std::string_view sceneText) {
  // As the merge cuts them: the draw groups from what the data elements taken left.
  std::string text(sceneText);
  std::string spare;
  const auto tooMany = [&](std::string_view open, std::string_view close) {
    ElementCutter elements(text, open, close);
    for (int given = 0; given < kMaxSceneElements && !elements.next(spare).empty(); ++given) {
    }
    return elements.hasNext();
  };
  return tooMany("<data", "</data>") || tooMany("<drawGroup", "</drawGroup>");
}

}  // namespace vesk
