#pragma once

#include <string>
#include <vector>

namespace vesk {

// One registered entry of an exhibition. Paths are stored exactly as delivered.
struct ExhibitionEntry {
  std::string scenePath;
  std::string thumbnailPath;
  std::string descriptionPath;
  // Full paths of the data files the scene refers to; rebuilt at every create.
  std::vector<std::string> dataFiles;

  friend bool operator==(const ExhibitionEntry&, const ExhibitionEntry&) = default;
};

}  // namespace vesk
