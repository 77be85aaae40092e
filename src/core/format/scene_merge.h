#pragma once

#include <string>
#include <vector>

namespace vesk {

// Appends the data and draw group elements of a scene (its lines as splitTextLines
// gives them) to `text`, renamed under the entry number (names "NN_…", data paths
// "NN\…"), each draw group given the child group exNN and stripped of the two
// rendering captions; everything else in the scene is dropped. Appends "NN_" + name
// to `topGroupNames` for every draw group whose name contains "Sur". Never fails: a
// scene without lines contributes nothing.
void mergeSceneLines(std::string& text, int entryNumber, const std::vector<std::string>& sceneLines,
                     std::vector<std::string>& topGroupNames);

}  // namespace vesk
