#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Most data elements a scene contributes; later ones are not listed.
inline constexpr int kMaxSceneElements = 100;

// A scene's lines (as splitTextLines gives them) each followed by a line feed: the
// text the merge and the scans cut elements from.
std::string joinSceneLines(const std::vector<std::string>& sceneLines);

// Turns a scene's decoded text into what joinSceneLines gives for its lines, in
// place: a CR directly before an LF is dropped, and a last line without a line end
// gets one.
void makeSceneText(std::string& decoded);

// The data file a scene in `sceneFolder` (ending with a separator) names by the `path`
// value `value`: on POSIX the value's backslashes are turned into "/".
std::string sceneDataFile(const std::string& sceneFolder, const std::string& value);

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
// The same for the scene's text as joinSceneLines gives it, the draw groups counted in
// what the data elements the merge takes leave, as the merge cuts them.
bool sceneTextHasTooManyElements(std::string_view sceneText);

}  // namespace vesk
