#pragma once

#include <string>
#include <vector>

#include "format/exhibition_document.h"
#include "model/exhibition_entry.h"

namespace vesk {

// What could not be read while the document's inputs were gathered.
struct DocumentProblems {
  std::vector<std::string> unreadablePictures;   // written with the size "0, 0"
  std::vector<std::string> unsupportedPictures;  // not JPEG, PNG or BMP: written as "0, 0"
};

// The document's entries for `packagedEntries` (paths in the package) and their scenes'
// lines (`sceneLines[j]` for entry j): measures every thumbnail, then every
// description picture, in entry order; a picture that cannot be read gets 0 by 0 and
// is listed in `problems`.
std::vector<DocumentEntry> documentEntries(const std::vector<ExhibitionEntry>& packagedEntries,
                                           std::vector<std::vector<std::string>> sceneLines,
                                           DocumentProblems& problems);

// The combined document for a package on disk: reads each entry's scene from its
// package path, measures the pictures as documentEntries does and assembles.
std::string assemblePackageDocument(const std::vector<ExhibitionEntry>& packagedEntries,
                                    std::vector<std::string>& topGroupNames,
                                    DocumentProblems& problems);

}  // namespace vesk
