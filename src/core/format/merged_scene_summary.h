#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/text_rooms.h"
#include "format/document_outline.h"

namespace vesk {

// What the plan of a package learns of a scene's merged text (mergeSceneText), taken
// element by element as the merge makes them, so that the merged text is not held
// whole (it is only for a scene whose text holds escaped undecodable bytes, which
// outlineDocument has to see in place).
struct MergedSceneSummary {
  std::size_t size = 0;             // bytes of the merged text (UTF-8)
  std::uint64_t encodedSize = 0;    // of its code page 932 encoding, every LF as CR LF
  std::optional<Failure> encoding;  // the failure cp932SizeWithCrLf gives for it, if any
  bool leavesDataOpen = false;      // leavesDataOpen of the merged text
  bool tooManyElements = false;     // sceneTextHasTooManyElements of the scene's text
  DocumentOutline outline;          // outlineDocument of the merged text
  std::vector<std::string> topGroupNames;
  bool firstTopGroupUnnumbered = false;  // SceneMerger::firstTopGroupUnnumbered
  std::vector<std::string> dataValues;   // as mergeSceneText lists them
  // The merged text's encoding reads back as other text: the merge (a caption taken
  // out) put an undecodable lead byte of the scene before a byte it pairs with.
  bool readsBackOtherwise = false;
};

// The summary of the merge of `sceneText` as entry `entryNumber`. Once `stop` (may be
// null) is set, ends early with what it has. The text's memory then goes to `rooms`
// (may be null).
MergedSceneSummary summarizeMergedScene(int entryNumber, std::string sceneText,
                                        const std::atomic<bool>* stop = nullptr,
                                        TextRooms* rooms = nullptr);

}  // namespace vesk
