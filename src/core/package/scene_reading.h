#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "base/failure.h"
#include "base/file_info.h"
#include "format/merged_scene_summary.h"
#include "package/scene_files.h"

namespace vesk {

// What the plan learns of an entry's scene by reading it: all of the scene's text the
// plan needs, made without the plan's own state, so that it can be made on another
// thread ahead of the entry's turn.
struct SceneReading {
  // False when the scene was not read: it was no readable regular file when looked at,
  // or the reading was stopped.
  bool read = false;
  std::optional<Failure> failure;  // why the read failed; nothing else is then known
  MergedSceneSummary merged;       // summarizeMergedScene of its text
  // The look at the file made just before it was read, where the reading made one: the
  // plan takes the scene as this look found it, so that a change during or after the
  // read shows as a change since the plan.
  std::optional<FileInfo> lookedAt;
};

// Reads the scene (through `reader`, see readSceneText) and summarizes its merge as
// entry `entryNumber`, when fileInfoOf finds it a readable regular file. Ends early,
// with `read` false, once `stop` is set. Holds one scene's text at a time, built in
// memory from `rooms` (may be null) and given back to it; a text the memory cannot
// hold is a failed read (ReadFailed with outOfMemoryError()).
SceneReading readSceneIfReadable(int entryNumber, const std::string& scene,
                                 const SceneReader& reader, const std::atomic<bool>& stop,
                                 TextRooms* rooms = nullptr);

// The same without looking at the file first: for a scene the caller found readable.
SceneReading readScene(int entryNumber, const std::string& scene, const SceneReader& reader,
                       const std::atomic<bool>& stop, TextRooms* rooms = nullptr);

}  // namespace vesk
