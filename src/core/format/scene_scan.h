#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/entry_list.h"

namespace vesk {

// Most data elements a scene contributes; later ones are not listed.
inline constexpr int kMaxSceneElements = 100;

// The lines of a scene file (code page 932) as UTF-8, without line ends. A file that
// cannot be read gives no lines.
std::vector<std::string> readSceneLines(const std::string& scenePath);

// Rebuilds the data-file list of the entry at `position` from its scene: the scene
// folder followed by the `path` value of each distinct data element, in order of
// first appearance, at most 100. Elements and values are those the merge finds (the
// lines joined with their line feeds), so a value holding a line break keeps it. On POSIX the
// backslashes of a value are turned into
// "/" so that the file can be found. An unreadable scene gives an empty list.
void scanSceneData(EntryList& list, std::size_t position);

// The same over a scene already read (its lines as readSceneLines gives them) whose
// folder, ending with a separator, is `sceneFolder`.
std::vector<std::string> sceneDataFiles(const std::vector<std::string>& sceneLines,
                                        const std::string& sceneFolder);

// True when the scene holds more data elements or more draw groups than the create
// takes (kMaxSceneElements each), so that some would be left out.
bool sceneHasTooManyElements(const std::vector<std::string>& sceneLines);

}  // namespace vesk
