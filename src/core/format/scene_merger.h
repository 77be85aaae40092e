#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_rooms.h"
#include "format/element_cutter.h"

namespace vesk {

// Merges one scene element by element: gives the elements mergeSceneText appends, in
// the same order and byte for byte, each made only when asked for, so that the
// merged text is never held whole. Holds the scene's text (taken over, used up as
// the work space of the cut) and the element last given.
class SceneMerger {
 public:
  // `judgeCount`: also learn whether the scene holds more elements than the merge takes
  // (tooManyElements), in the scan the cut takes anyway. Once every element has been
  // given, the text's memory goes to `rooms` (may be null: it is freed).
  SceneMerger(int entryNumber, std::string sceneText, bool judgeCount = false,
              TextRooms* rooms = nullptr);
  SceneMerger(const SceneMerger&) = delete;
  SceneMerger& operator=(const SceneMerger&) = delete;

  // The next merged element followed by its line feed; empty once every element has
  // been given. Valid until the next call.
  std::string_view next();

  // "NN_" + name of every draw group given so far whose name contains "Sur".
  const std::vector<std::string>& topGroupNames() const { return topGroupNames_; }
  // The `path` value of every data element given so far, as the scene wrote it.
  const std::vector<std::string>& dataValues() const { return dataValues_; }
  // sceneTextHasTooManyElements of the scene's text, when judged (see the constructor);
  // known once every element has been given.
  bool tooManyElements() const { return tooManyData_ || tooManyGroups_; }
  // True when the first group of topGroupNames kept its own name in the merged text
  // (its name does not follow "drawGroup " directly, so the merge does not number it):
  // the menu's jump to the name listed finds no group.
  bool firstTopGroupUnnumbered() const { return firstTopGroupUnnumbered_; }

 private:
  void mergeDataElement(std::string& element);
  // Puts the merged group into element_. `mayHoldOpening`: the group may hold an
  // opening marker past its first byte (the cutter knows; false spares a search).
  void mergeDrawGroup(std::string_view group, bool mayHoldOpening);
  // mergeDrawGroup's merge of the group's text, learning its top group if any.
  void mergeGroupText(std::string_view group, bool mayHoldOpening);

  std::string nn_;
  std::string childGroup_;
  std::string text_;
  TextRooms* rooms_;
  std::optional<ElementCutter> cutter_;
  bool cuttingGroups_ = false;
  int given_ = 0;  // elements given by the current cutter
  std::string element_;
  std::string spare_;  // where the cutter keeps an element it could not leave in place
  std::vector<std::string> topGroupNames_;
  std::vector<std::string> dataValues_;
  bool tooManyData_ = false;
  bool tooManyGroups_ = false;
  bool firstTopGroupUnnumbered_ = false;
};

}  // namespace vesk
