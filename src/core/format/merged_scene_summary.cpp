#include "format/merged_scene_summary.h"

#include "base/cp932.h"
#include "format/scene_merger.h"
#include "format/streamed_outline.h"

namespace vesk {

MergedSceneSummary summarizeMergedScene(int entryNumber, std::string sceneText,
                                        const std::atomic<bool>* stop, TextRooms* rooms) {
  MergedSceneSummary summary;
  const bool escapes = sceneText.find('\xF4') != std::string::npos;
  SceneMerger merger(entryNumber, std::move(sceneText), true, rooms);
  StreamedOutline outline;
  std::string whole;  // the merged text, kept only when it may hold escapes
  for (std::string_view element = merger.next(); !element.empty(); element = merger.next()) {
    if (stop != nullptr && *stop) break;
    summary.size += element.size();
    // Each element ends a line, so it encodes (and a failure reads) as in the whole.
    if (!summary.encoding) {
      const Result<std::uint64_t> encoded = cp932SizeWithCrLf(element);
      if (encoded) {
        summary.encodedSize += *encoded;
      } else {
        summary.encoding = encoded.failure();
      }
    }
    if (escapes) {
      whole += element;
    } else {
      outline.add(element);
    }
  }
  if (escapes) {
    summary.leavesDataOpen = leavesDataOpen(whole);
    summary.outline = outlineDocument(whole);
    summary.outline.wellFormed = false;
    if (!summary.encoding) {
      const Result<std::string> encoded = encodeCp932(whole);
      summary.readsBackOtherwise = encoded && decodeCp932(*encoded) != whole;
    }
  } else {
    summary.leavesDataOpen = outline.leavesDataOpen();
    summary.outline = outline.take();
  }
  summary.tooManyElements = merger.tooManyElements();
  summary.topGroupNames = merger.topGroupNames();
  summary.firstTopGroupUnnumbered = merger.firstTopGroupUnnumbered();
  summary.dataValues = merger.dataValues();
  return summary;
}

}  // namespace vesk
