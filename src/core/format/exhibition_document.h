#pragma once

#include <string>
#include <vector>

namespace vesk {

// A picture as the document names it: its path in the package and its size in
// pixels as the caller measured it (0 by 0 when it could not be read).
struct DocumentPicture {
  std::string path;
  int width = 0;
  int height = 0;
};

// One entry as the document takes it, everything already read by the caller: its
// scene's lines (as splitTextLines gives them) and its two pictures.
struct DocumentEntry {
  std::vector<std::string> sceneLines;
  DocumentPicture thumbnail;
  DocumentPicture description;
};

// Builds the whole combined document (UTF-8, LF line ends) for 1 to 99 entries:
// head, merged scenes, image data, start and page events, entry events, menu pages,
// description groups and the end. Reads no file. Empties and refills
// `topGroupNames` with every "Sur" group name of the merged scenes; the first event
// and each entry event name the entry's first such group, or the empty text when the
// entry has none.
std::string assembleExhibitionDocument(const std::vector<DocumentEntry>& entries,
                                       std::vector<std::string>& topGroupNames);

// The same document in three parts, for a writer that streams it: the head, then for
// each entry its merged scene (mergeSceneText) followed by a blank line, then the
// tail, which takes of each entry its pictures and the first "Sur" group its scene
// gave (empty when none).
struct DocumentEntryFacts {
  DocumentPicture thumbnail;
  DocumentPicture description;
  std::string topGroup;
};
void appendDocumentHead(std::string& text);
void appendDocumentTail(std::string& text, const std::vector<DocumentEntryFacts>& entries);

}  // namespace vesk
