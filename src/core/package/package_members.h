#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/file_stamp.h"

namespace vesk {

// What a package's document names, read once for the several looks of one run: a
// document may run to hundreds of MiB. A later look takes the reading again only while
// the document is the same file with the same size and modification time; otherwise
// it reads the document anew. Safe to share between threads: a look that comes while
// another reads waits for its reading.
class DocumentNames {
 public:
  struct Read {
    int entries = -1;  // the document's entries; -1: no readable, well-formed document
    std::vector<std::vector<std::string>> paths;  // each data path, as components
  };
  // The reading of the document at `documentPath`.
  std::shared_ptr<const Read> of(const std::string& documentPath);

 private:
  std::mutex mutex_;
  std::string path_;
  std::optional<FileStamp> stamp_;
  std::shared_ptr<const Read> read_;
};

// The members of the package in `folder`: the one rule for what a package owns, used
// by whatever moves, removes or counts a package's files. They are the names at the
// top of `folder` that its document names: the document, the entry folders 00 to n-1
// (n counted from the document's entries), the button images and the package's other
// top files (see packageTopFileNames) where they are present. Without a readable
// document, the entry folders from 00 up to the first one missing, and of the top files
// only the document and the button images: a report, manifest or copy record beside
// no package's document is someone's own. Only a regular file
// counts as a file member and only a folder (not a link) as an entry folder: anything
// else of those names, and every other name (an operator's "55/", "notes.txt"), is
// not the package's. Reads only. Sorted. `names` (may be null) shares the document's
// reading with the run's other looks.
std::vector<std::string> packageMembers(const std::string& folder, DocumentNames* names = nullptr);

// The files the manifest of the package in `destination` lists, by their paths
// ("03/m/mesh.obj"): exactly what Vesk wrote there. Nothing when it has no manifest
// that can be read (a package made before manifests, or a damaged one). Reads only.
std::optional<std::set<std::string>> manifestListedFiles(const std::string& destination);

// The same for the manifest file at `manifestPath`, whatever its name.
std::optional<std::set<std::string>> manifestListedFilesAt(const std::string& manifestPath);

// What the entry folder `folder` (named `name` in its package) holds that the manifest
// `listed` does not list: files Vesk did not write there, links, anything else; folders
// are looked into, and one that cannot be listed counts itself. Reads only.
std::vector<std::string> unlistedInEntryFolder(const std::string& folder, const std::string& name,
                                               const std::set<std::string>& listed);

// The names at the top of a new package of `entryCount` entries: the entry folders,
// the button images, the document and, with `report`, the report page.
std::vector<std::string> newPackageMembers(std::size_t entryCount, bool report);

// Why a replace cannot start without touching what is not the earlier package's.
enum class ReplaceObstacle {
  InTheWay,     // a name the new package takes holds something the earlier one does not own
  Unaccounted,  // a file or folder inside an earlier entry folder its document does not name
};

struct ReplaceObstacleAt {
  ReplaceObstacle obstacle;
  std::string path;
};

// What keeps a replace of the package in `destination` by one of `entryCount` entries
// from starting: everything the swap would move aside or remove must be the earlier
// package's own. Without a readable document nothing inside an entry folder is
// accounted for, so that only empty leftovers of a package are replaced. The earlier
// entry folders named in `keptInPlace` stay where they are, nothing in them moved or
// removed: what they hold is not looked at (the replace checks them itself). Reads
// only. `names` (may be null) shares the document's reading with the run's other looks.
std::vector<ReplaceObstacleAt> replaceObstacles(const std::string& destination,
                                                std::size_t entryCount, bool report,
                                                const std::vector<std::string>& keptInPlace = {},
                                                DocumentNames* names = nullptr);

// The same for the destination as it will be once an interrupted run is undone, while
// some of its names lie elsewhere now: `lyingNow` gives, for each name at the top whose
// place the undo changes, where what will be there lies now ("" for nothing). The
// obstacles are named by their paths in the destination, where the undo puts them.
std::vector<ReplaceObstacleAt> replaceObstaclesAfterUndo(
    const std::string& destination, std::size_t entryCount, bool report,
    const std::map<std::string, std::string>& lyingNow, DocumentNames* names = nullptr);

}  // namespace vesk
