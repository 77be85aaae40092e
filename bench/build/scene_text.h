#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vesk::bench {

// What a generated scene holds: one data element per data path (a path without an
// extension, ending in "\", names a data folder) and `drawGroups` draw groups, the
// first named "Surface" and the others "PartNNN", each referring to the data.
struct SceneShape {
  std::vector<std::string> dataPaths;
  int drawGroups = 2;
  // Size of the whole file in bytes; the draw groups are filled with geometry lines,
  // and an event that a package drops takes up the rest. 0: no filling.
  std::size_t targetBytes = 0;
};

// A scene document of the viewer as code page 932 bytes with CR LF line ends.
std::string sceneText(const SceneShape& shape);

}  // namespace vesk::bench
