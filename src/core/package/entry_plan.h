#pragma once

#include <string>
#include <vector>

#include "base/file_kind.h"
#include "model/exhibition_entry.h"

namespace vesk {

// Which part of an entry a source file is; Folder is a folder the package needs on
// the way (an entry folder, a data file's sub-folder), Button a button image.
enum class PlannedRole { Scene, Thumbnail, Description, DataFile, DataFolder, Folder, Button };

// One source of an entry and where its copy lands in the entry folder.
struct PlannedFile {
  PlannedRole role = PlannedRole::Scene;
  std::string source;  // as the entry (or its scene) names it; a data folder ends with a separator
  std::string place;   // relative to the entry folder; a data folder's ends with a separator
};

// Whether a data item is copied as a folder: it has no extension and does not name a
// regular file (`kind` is what it names); an existing file is copied as the file it is.
bool copiedAsFolder(const std::string& item, FileKind kind);

// Where each source of `entry` lands in its entry folder, in copy order: the scene,
// thumbnail and description picture under their own names, then each data item
// (`dataFiles`, read from the scene) below the scene folder by its path there, or by
// its last component when it would lead out of that folder. `dataFolders[i]` tells
// whether data item i is copied as a folder.
std::vector<PlannedFile> planEntryFiles(const ExhibitionEntry& entry,
                                        const std::vector<bool>& dataFolders);

// Two different sources that would land on one place of an entry folder.
struct PlannedCollision {
  int entryNumber = 0;
  std::string place;
  std::string first;
  std::string second;
};

// Every pair of different sources that the plans (one per entry, entry number = index)
// put on the same place, the second replacing the first. A source planned twice is
// no collision.
std::vector<PlannedCollision> findCollisions(const std::vector<std::vector<PlannedFile>>& plans);

// The pictures whose names the document cannot hold inside a quoted attribute: names
// with a double quote or a line break.
std::vector<std::string> findUnwritableNames(const std::vector<std::vector<PlannedFile>>& plans);

}  // namespace vesk
