#pragma once

#include <string>
#include <vector>

#include "model/exhibition_entry.h"

namespace vesk {

// What the assembly could not read while it built the document.
struct DocumentProblems {
  std::vector<std::string> unreadablePictures;   // written with the size "0, 0"
  std::vector<std::string> unsupportedPictures;  // not JPEG, PNG or BMP: written as "0, 0"
};

// Builds the whole combined document (UTF-8, LF line ends) for 1 to 99 entries whose
// paths point into the package: head, merged scenes, image data, start and page
// events, entry events, menu pages, description groups and the end. Empties and
// refills `topGroupNames` with every "Sur" group name of the merged scenes; the first
// event and each entry event name the entry's first such group, or the empty text
// when the entry has none.
std::string assembleExhibitionDocument(const std::vector<ExhibitionEntry>& packagedEntries,
                                       std::vector<std::string>& topGroupNames,
                                       DocumentProblems& problems);

// The same with every entry's scene already read: `sceneLines[j]` are the lines of
// entry j's scene as readSceneLines gives them; the scene paths are not read.
std::string assembleExhibitionDocument(const std::vector<ExhibitionEntry>& packagedEntries,
                                       const std::vector<std::vector<std::string>>& sceneLines,
                                       std::vector<std::string>& topGroupNames,
                                       DocumentProblems& problems);

}  // namespace vesk
