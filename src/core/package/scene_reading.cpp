#include "package/scene_reading.h"

#include "base/file_info.h"

namespace vesk {

SceneReading readSceneIfReadable(int entryNumber, const std::string& scene,
                                 const SceneReader& reader, const std::atomic<bool>& stop) {
  const FileInfo info = fileInfoOf(scene);
  if (info.kind != FileKind::Regular || !info.readable) return {};
  SceneReading reading = readScene(entryNumber, scene, reader, stop);
  reading.lookedAt = info;
  return reading;
}

SceneReading readScene(int entryNumber, const std::string& scene, const SceneReader& reader,
                       const std::atomic<bool>& stop) {
  SceneReading reading;
  if (stop) return reading;
  Result<std::string> text = readSceneText(scene, reader, &stop);
  if (stop) return reading;
  reading.read = true;
  if (!text) {
    reading.failure = text.failure();
    return reading;
  }
  reading.merged = summarizeMergedScene(entryNumber, std::move(*text), &stop);
  reading.read = !stop;
  return reading;
}

}  // namespace vesk
