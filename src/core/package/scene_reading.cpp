#include "package/scene_reading.h"

#include <new>

#include "base/file_info.h"

namespace vesk {

SceneReading readSceneIfReadable(int entryNumber, const std::string& scene,
                                 const SceneReader& reader, const std::atomic<bool>& stop,
                                 TextRooms* rooms) {
  const FileInfo info = fileInfoOf(scene);
  if (info.kind != FileKind::Regular || !info.readable) return {};
  SceneReading reading = readScene(entryNumber, scene, reader, stop, rooms);
  reading.lookedAt = info;
  return reading;
}

SceneReading readScene(int entryNumber, const std::string& scene, const SceneReader& reader,
                       const std::atomic<bool>& stop, TextRooms* rooms) {
  SceneReading reading;
  if (stop) return reading;
  // A scene too large for the memory to be had is a scene that cannot be read, said as
  // such, rather than an exception on the plan's thread that would end the program.
  try {
    Result<std::string> text = readSceneText(scene, reader, &stop, rooms);
    if (stop) return reading;
    reading.read = true;
    if (!text) {
      reading.failure = text.failure();
      return reading;
    }
    reading.merged = summarizeMergedScene(entryNumber, std::move(*text), &stop, rooms);
    reading.read = !stop;
  } catch (const std::bad_alloc&) {
    reading = SceneReading();
    reading.read = !stop;
    reading.failure = makeFailure(FailureCode::ReadFailed, scene, outOfMemoryError());
  }
  return reading;
}

}  // namespace vesk
