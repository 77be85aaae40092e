#pragma once

#include <string>
#include <string_view>
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

// mergeSceneLines on the scene's text as joinSceneLines gives it, used up as the
// work space of the cut (no copy of the scene is made). When `dataValues` is given,
// appends to it the `path` value of each data element as the scene wrote it, in the
// merged order: the values sceneDataFiles lists.
void mergeSceneText(std::string& text, int entryNumber, std::string sceneText,
                    std::vector<std::string>& topGroupNames,
                    std::vector<std::string>* dataValues = nullptr);

}  // namespace vesk
