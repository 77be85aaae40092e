#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "base/document_output.h"
#include "format/document_outline.h"
#include "package/package_plan.h"
#include "package/scene_files.h"

namespace vesk {

class SceneHandoff;

// Writes the document of `plan` (which holds no error) to `path`, replacing it
// atomically: its head, then each entry's scene read through `readScene` and merged
// again, one entry per piece, then its tail. Holds one scene's text at a time.
// A scene that cannot be read now, or merges to another size or first "Sur" group
// than planned, stops the write: the scene has changed since the plan. `written` (may be empty)
// sees every byte written. `outline` (may be null) receives the outline of the text written,
// taken piece by piece, as outlineDocument would give it for the whole. Returns nothing when
// the document was written, else the operator's message; an earlier file at `path` is then left
// as it was. Once `stop` (may be null) is set, the write ends at its next piece with
// kCancelledMessage and writes nothing. Given `handoff`, a scene's text is taken from
// there when the copier decoded it (read through `readScene` otherwise), and the
// taking side is closed when the write ends. Scenes' texts are read into memory from
// `rooms` (may be null) and their memory given back to it once merged.
std::optional<std::string> writePlannedDocument(const PackagePlan& plan, const std::string& path,
                                                const SceneReader& readScene,
                                                const WrittenBytesObserver& written = {},
                                                DocumentOutline* outline = nullptr,
                                                const std::atomic<bool>* stop = nullptr,
                                                SceneHandoff* handoff = nullptr,
                                                TextRooms* rooms = nullptr);

}  // namespace vesk
