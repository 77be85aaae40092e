#include "core/format/reference_scene_merge.h"

#include "format/data_value.h"
#include "format/element_cutter.h"
#include "format/scene_scan.h"
#include "format/text_ops.h"
#include "format/two_digits.h"

namespace vesk::test {
namespace {

const std::vector<std::string_view> kGroupReferences = {
    "friendGroup=\"", "coordinate_data=\"", "index_data=\"",
    "volume_data=\"", "clipCap_data=\"",    "drawGroup name=\"",
};

constexpr const char* kDroppedCaptions[] = {
    "caption=\"ボリュームレンダリング\" ",
    "caption=\"サーフェイスレンダリング\" ",
};

std::vector<std::string> takeElements(std::string& work, const char* open, const char* close) {
  std::vector<std::string> elements;
  ElementCutter cutter(work, open, close);
  for (int i = 0; i < kMaxSceneElements; ++i) {
    std::string element = cutter.next();
    if (element.empty()) break;
    elements.push_back(std::move(element));
  }
  return elements;
}

// After each occurrence of any of the patterns, taken from left to right (of those
// that stand at one place, the first listed) and none overlapping the one before,
// inserts `insertion`: each occurrence looked for anew with a plain search.
void insertAfterEachPlainly(std::string& text, const std::vector<std::string_view>& patterns,
                            std::string_view insertion) {
  std::string result;
  std::size_t copied = 0;
  for (;;) {
    std::size_t first = std::string::npos;
    std::size_t length = 0;
    for (const std::string_view pattern : patterns) {
      const std::size_t at = pattern.empty() ? std::string::npos : text.find(pattern, copied);
      if (at < first) {
        first = at;
        length = pattern.size();
      }
    }
    if (first == std::string::npos) break;
    result.append(text, copied, first + length - copied);
    result += insertion;
    copied = first + length;
  }
  result.append(text, copied);
  text = std::move(result);
}

}  // namespace

void referenceMergeSceneText(std::string& text, int entryNumber, std::string sceneText,
                             std::vector<std::string>& topGroupNames,
                             std::vector<std::string>& dataValues) {
  const std::string nn = twoDigits(entryNumber);
  std::string& work = sceneText;
  std::vector<std::string> dataElements = takeElements(work, "<data", "</data>");
  const std::string childGroup = "><childGroup name=\"ex" + nn + "\" />";
  std::vector<std::string> groups = takeElements(work, "<drawGroup", "</drawGroup>");
  for (std::string& group : groups) {
    const std::string startTag = cutElement(group, "<drawGroup", ">");
    std::string newTag = startTag;
    replaceAll(newTag, ">", childGroup);
    replaceAll(group, startTag, newTag);
    for (const char* caption : kDroppedCaptions) replaceAll(group, caption, "");
  }
  for (auto& element : dataElements) {
    const std::string value = attributeValue(element, "path=\"");
    dataValues.push_back(value);
    if (dataValueLeavesFolder(value)) {
      const std::string written = "path=\"" + value + "\"";
      const std::size_t at = element.find(written);
      if (at != std::string::npos) {
        element.replace(at, written.size(), "path=\"" + packagedDataValue(value) + "\"");
      }
    }
    replaceAll(element, "name=\"", "name=\"" + nn + "_");
    replaceAll(element, "path=\"", "path=\"" + nn + "\\");
  }
  for (const auto& group : groups) {
    const std::string name = attributeValue(group, "name=\"");
    if (name.find("Sur") != std::string::npos) topGroupNames.push_back(nn + "_" + name);
  }
  const std::string prefix = nn + "_";
  for (auto& group : groups) insertAfterEachPlainly(group, kGroupReferences, prefix);
  for (const auto* elements : {&dataElements, &groups}) {
    for (const auto& element : *elements) {
      text += element;
      text += '\n';
    }
  }
}

}  // namespace vesk::test
