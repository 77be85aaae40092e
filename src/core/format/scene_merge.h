#pragma once

#include <string>
#include <vector>

#include "model/exhibition_entry.h"

namespace vesk {

// Appends the data and draw group elements of the entry's scene to `text`, renamed
// under the entry number (names "NN_…", data paths "NN\…"), each draw group given
// the child group exNN and stripped of the two rendering captions; everything else in
// the scene is dropped. Appends "NN_" + name to `topGroupNames` for every draw group
// whose name contains "Sur". Only the entry's scene path is used. Never fails: an
// unreadable scene contributes nothing.
void mergeEntryScene(std::string& text, int entryNumber, const ExhibitionEntry& entry,
                     std::vector<std::string>& topGroupNames);

// The same for a scene already read: `sceneLines` as readSceneLines gives them.
void mergeSceneLines(std::string& text, int entryNumber, const std::vector<std::string>& sceneLines,
                     std::vector<std::string>& topGroupNames);

}  // namespace vesk
