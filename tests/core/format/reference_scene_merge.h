#pragma once

#include <string>
#include <vector>

namespace vesk::test {

// The merge of one scene written plainly: all elements cut first, then each
// renamed with whole-text replacements. Slow, kept only to compare the merge
// against.
void referenceMergeSceneText(std::string& text, int entryNumber, std::string sceneText,
                             std::vector<std::string>& topGroupNames,
                             std::vector<std::string>& dataValues);

}  // namespace vesk::test
