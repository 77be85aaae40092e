#pragma once

#include <string>
#include <vector>

namespace vesk {

// Most data elements a scene contributes; later ones are not listed.
inline constexpr int kMaxSceneElements = 100;

// The data files of a scene, given its lines (as splitTextLines gives them) and its
// folder, ending with a separator: the scene folder followed by the `path` value of
// each distinct data element, in order of first appearance, at most 100. Elements
// and values are those the merge finds (the lines joined with their line feeds), so a
// value holding a line break keeps it. On POSIX the backslashes of a value are turned
// into "/" so that the file can be found.
std::vector<std::string> sceneDataFiles(const std::vector<std::string>& sceneLines,
                                        const std::string& sceneFolder);

// True when the scene holds more data elements or more draw groups than the create
// takes (kMaxSceneElements each), so that some would be left out.
bool sceneHasTooManyElements(const std::vector<std::string>& sceneLines);

}  // namespace vesk
