#pragma once

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/failure.h"
#include "base/file_info.h"
#include "image/image_probe.h"
#include "model/exhibition_entry.h"
#include "package/scene_files.h"
#include "package/scene_reading.h"

namespace vesk {

// A data folder's files as the create copies them: every entry but the folders (links
// followed), each looked at once.
struct FolderContents {
  Status listed;                                        // why the folder cannot be listed
  std::vector<std::pair<std::string, FileInfo>> files;  // full path and what it is, sorted
  std::set<std::string> links;  // the full paths of those files that are links themselves
  bool complete = true;         // false: `stop` ended the listing
};

// Lists `folder` (ending with a separator) through base's walk, which takes long paths
// on Windows (std::filesystem's iteration under MinGW does not, and lists the current
// folder instead). `stop` is asked before each file is looked at.
FolderContents listContents(const std::string& folder, const std::function<bool()>& stop);

// True when a data value holds a byte that no file name can: NUL everywhere, and on
// Windows the control characters too.
bool holdsUnusableByte(std::string_view value);

// Everything the plan looks at on disk for one entry, gathered before the entry's turn
// so that the looks of two entries run side by side: the scene's reading, what each
// named file is (the pictures, the data items the scene names) and the data folders'
// contents. The plan takes these as its own looks.
struct EntryLook {
  SceneReading scene;
  std::vector<std::pair<std::string, FileInfo>> files;          // by path as the plan names it
  std::vector<std::pair<std::string, FolderContents>> folders;  // complete listings only
};

// What an entry's look is given by the plan. Each may be called from two threads at once
// and must be safe for that.
struct EntryLookTools {
  SceneReader readScene;  // empty: readSceneText's own reading
  // Probes a picture, keeping the answer for the plan.
  std::function<Result<PictureSize>(const std::string&)> probePicture;
  // True the first time a path is asked for: a file or folder several entries name is
  // looked at (a folder listed) by the first look that comes to it only.
  std::function<bool(const std::string&)> firstLook;
  TextRooms* textRooms = nullptr;  // where scenes' texts are built; may be null
};

// The data file or folder a data value of the scene `scenePath` names. A scene copied
// into a package (`packageEntryFolder`, its entry folder; empty for any other scene)
// names its data as its source did, but the files lie where the document names them:
// a value leading out of the scene's folder by its last component in the entry folder.
std::string entryDataFile(const std::string& scenePath, const std::string& packageEntryFolder,
                          const std::string& value);

// The look at `entry` as entry `entryNumber`: its scene read, then each picture looked
// at and probed and each data item (see entryDataFile, with `packageEntryFolder`) looked
// at (a data folder listed), unless an earlier
// look came to it first. `stop` ends the scene's reading early (readSceneIfReadable),
// `stop` or `cancelled` the rest, with whatever the look has by then: the plan looks
// again at what is missing.
EntryLook lookAtEntry(int entryNumber, const ExhibitionEntry& entry,
                      const std::string& packageEntryFolder, const EntryLookTools& tools,
                      const std::atomic<bool>& stop, const std::function<bool()>& cancelled);

}  // namespace vesk
