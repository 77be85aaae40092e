#include "format/scene_merger.h"

#include <utility>

#include "format/data_value.h"
#include "format/scene_scan.h"
#include "format/text_ops.h"
#include "format/text_search.h"
#include "format/two_digits.h"

namespace vesk {

namespace {

constexpr std::string_view kDataOpen = "<data";
constexpr std::string_view kDataClose = "</data>";
constexpr std::string_view kGroupOpen = "<drawGroup";
constexpr std::string_view kGroupClose = "</drawGroup>";

// Attributes of a draw group that refer to names inside the same scene.
const PatternSet& groupReferences() {
  static const PatternSet references({
      "friendGroup=\"",
      "coordinate_data=\"",
      "index_data=\"",
      "volume_data=\"",
      "clipCap_data=\"",
      "drawGroup name=\"",
  });
  return references;
}

// Caption attributes, each with its trailing blank, that the exhibition drops.
constexpr std::string_view kDroppedCaptions[] = {
    "caption=\"ボリュームレンダリング\" ",
    "caption=\"サーフェイスレンダリング\" ",
};

// True when the text holds either dropped caption: the two share their attribute
// name, so one search for it finds every place where one may stand.
bool holdsDroppedCaption(std::string_view text) {
  constexpr std::string_view kCaption = "caption=\"";
  const PatternFinder finder(kCaption);
  for (std::size_t at = finder.find(text, 0); at != std::string_view::npos;
       at = finder.find(text, at + 1)) {
    for (const std::string_view caption : kDroppedCaptions) {
      if (text.compare(at, caption.size(), caption) == 0) return true;
    }
  }
  return false;
}

}  // namespace

SceneMerger::SceneMerger(int entryNumber, std::string sceneText, bool judgeCount, TextRooms* rooms)
    : nn_(twoDigits(entryNumber)),
      childGroup_("><childGroup name=\"ex" + nn_ + "\" />"),
      text_(std::move(sceneText)),
      rooms_(rooms) {
  if (!judgeCount) {
    cutter_.emplace(text_, kDataOpen, kDataClose);
    return;
  }
  // The data markers are found in one scan for "<". Whether too many draw groups stand
  // is known once they are cut from what the data elements left, as the merge cuts them.
  std::vector<std::size_t> opens;
  std::vector<std::size_t> closes;
  const PatternFinder dataOpen(kDataOpen);
  const PatternFinder dataClose(kDataClose);
  PatternFinder::findEvery(text_, {{dataOpen, opens}, {dataClose, closes}});
  cutter_.emplace(text_, kDataOpen, kDataClose, std::move(opens), std::move(closes));
}

std::string_view SceneMerger::next() {
  while (cutter_) {
    if (given_ < kMaxSceneElements) {
      // A draw group is read where it lies and merged into element_; a data element,
      // small, is merged in place in element_.
      const std::string_view element = cutter_->next(spare_);
      if (!element.empty()) {
        ++given_;
        if (cuttingGroups_) {
          mergeDrawGroup(element, cutter_->lastHeldAnotherOpening());
        } else {
          element_.assign(element);
          mergeDataElement(element_);
        }
        element_ += '\n';
        return element_;
      }
    }
    // Every element of this kind has been given: the draw groups are cut from what
    // the data elements left, and once they are given the scene is let go. An element
    // still to be had after the most the merge takes is one too many.
    (cuttingGroups_ ? tooManyGroups_ : tooManyData_) = cutter_->hasNext();
    cutter_.reset();
    given_ = 0;
    if (cuttingGroups_) {
      giveTextRoom(rooms_, std::exchange(text_, std::string()));
    } else {
      cuttingGroups_ = true;
      cutter_.emplace(text_, kGroupOpen, kGroupClose);
    }
  }
  std::string().swap(element_);
  std::string().swap(spare_);
  return {};
}

void SceneMerger::mergeDataElement(std::string& element) {
  // A value that leads out of the scene folder names the copy made in the entry
  // folder under its last component, so the document names that copy.
  std::string value = attributeValue(element, "path=\"");
  if (dataValueLeavesFolder(value)) {
    const std::string written = "path=\"" + value + "\"";
    const std::size_t at = element.find(written);
    if (at != std::string::npos) {
      element.replace(at, written.size(), "path=\"" + packagedDataValue(value) + "\"");
    }
  }
  dataValues_.push_back(std::move(value));
  replaceAll(element, "name=\"", "name=\"" + nn_ + "_");
  replaceAll(element, "path=\"", "path=\"" + nn_ + "\\");
}

void SceneMerger::mergeDrawGroup(std::string_view group, bool mayHoldOpening) {
  const bool firstTopGroup = topGroupNames_.empty();
  mergeGroupText(group, mayHoldOpening);
  if (firstTopGroup && !topGroupNames_.empty()) {
    const std::string numbered = "drawGroup name=\"" + topGroupNames_.front() + "\"";
    firstTopGroupUnnumbered_ = element_.find(numbered) == std::string::npos;
  }
}

void SceneMerger::mergeGroupText(std::string_view group, bool mayHoldOpening) {
  // The start tag runs through the first ">" after the opening marker (the group's
  // closing marker holds one); the child group that shows the entry's description
  // picture takes that ">"'s place, in every copy of the start tag in the group.
  const std::size_t tagSize = group.find('>', kGroupOpen.size()) + 1;
  const std::string_view startTag(group.data(), tagSize);
  std::string newTag(startTag.substr(0, tagSize - 1));
  newTag += childGroup_;
  const std::string prefix = nn_ + "_";
  element_.clear();

  // Commonly the start tag stands once (a copy begins with an opening marker, which a
  // group seldom holds past its own) and a dropped caption, if any, stands in it: the
  // group is the new tag, stripped of the captions, and the rest, renamed in one pass
  // each. No caption and no reference can run across the ">" between them (none holds
  // one), and the new tag holds the first "name=\"" (the child group has one) with its
  // closing quote.
  const std::string_view rest = group.substr(tagSize);
  if ((!mayHoldOpening || PatternFinder(kGroupOpen).find(group, tagSize) == std::string::npos) &&
      !holdsDroppedCaption(rest)) {
    for (const std::string_view caption : kDroppedCaptions) replaceAll(newTag, caption, "");
    const std::string name = attributeValue(newTag, "name=\"");
    if (name.find("Sur") != std::string::npos) topGroupNames_.push_back(prefix + name);
    element_.reserve(group.size() + childGroup_.size() + group.size() / 16 + 1);
    appendInsertingAfterEach(element_, newTag, groupReferences(), prefix);
    appendInsertingAfterEach(element_, rest, groupReferences(), prefix);
    return;
  }

  std::string merged;
  merged.reserve(group.size() + childGroup_.size() + 64);
  merged += newTag;
  std::size_t copied = tagSize;
  const PatternFinder tagFinder(startTag);
  for (std::size_t at = tagFinder.find(group, copied); at != std::string::npos;
       at = tagFinder.find(group, copied)) {
    merged.append(group.substr(copied, at - copied));
    merged += newTag;
    copied = at + tagSize;
  }
  merged.append(group.substr(copied));
  if (holdsDroppedCaption(merged)) {
    for (const std::string_view caption : kDroppedCaptions) replaceAll(merged, caption, "");
  }
  const std::string name = attributeValue(merged, "name=\"");
  if (name.find("Sur") != std::string::npos) topGroupNames_.push_back(prefix + name);
  element_.reserve(merged.size() + merged.size() / 16 + 1);
  appendInsertingAfterEach(element_, merged, groupReferences(), prefix);
}

}  // namespace vesk
