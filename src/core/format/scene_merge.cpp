#include "format/scene_merge.h"

#include "format/scene_merger.h"
#include "format/scene_scan.h"

namespace vesk {

void mergeSceneLines(std::string& text, int entryNumber, const std::vector<std::string>& sceneLines,
                     std::vector<std::string>& topGroupNames) {
  mergeSceneText(text, entryNumber, joinSceneLines(sceneLines), topGroupNames);
}

void mergeSceneText(std::string& text, int entryNumber, std::string sceneText,
                    std::vector<std::string>& topGroupNames, std::vector<std::string>* dataValues) {
  SceneMerger merger(entryNumber, std::move(sceneText));
  for (std::string_view element = merger.next(); !element.empty(); element = merger.next()) {
    text += element;
  }
  topGroupNames.insert(topGroupNames.end(), merger.topGroupNames().begin(),
                       merger.topGroupNames().end());
  if (dataValues != nullptr) {
    dataValues->insert(dataValues->end(), merger.dataValues().begin(), merger.dataValues().end());
  }
}

}  // namespace vesk
