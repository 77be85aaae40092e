#include "package/planned_document.h"

#include <memory>

#include "format/exhibition_document.h"
#include "format/scene_merger.h"
#include "format/streamed_outline.h"
#include "messages/messages.h"
#include "package/failure_text.h"
#include "package/scene_handoff.h"

namespace vesk {

namespace {

// Merged elements handed to the output at a time: the encoder's piece stays about
// this size however large a scene is.
constexpr std::size_t kPieceBytes = 1 << 20;

}  // namespace

std::optional<std::string> writePlannedDocument(const PackagePlan& plan, const std::string& path,
                                                const SceneReader& readScene,
                                                const WrittenBytesObserver& written,
                                                DocumentOutline* outline,
                                                const std::atomic<bool>* stop,
                                                SceneHandoff* handoff, TextRooms* rooms) {
  // However the write ends, the copier offers it no more texts.
  struct CloseTaking {
    SceneHandoff* scenes;
    ~CloseTaking() {
      if (scenes != nullptr) scenes->closeTaking();
    }
  } closeTaking{handoff};
  const std::vector<PlannedDocumentEntry>& entries = plan.documentEntries;
  std::optional<std::string> changedScene;
  std::size_t next = 0;  // the entry of the next piece; the head comes before entry 0
  bool headWritten = false;
  std::string text;  // the head or the tail
  // The scene being merged, its merged bytes so far, and its outline as it goes: taken
  // element by element, or from its whole merged text when the scene holds escaped
  // undecodable bytes (which outlineDocument has to see in place).
  std::unique_ptr<SceneMerger> merger;
  std::size_t mergedSize = 0;
  StreamedOutline streamed;
  bool keepWhole = false;
  std::string whole;
  // The document's own parts as they are outlined: the head, a line end for each scene
  // and the tail, the scenes being outlined one by one as they are merged.
  std::string frame;
  DocumentOutline scenes;
  bool dataLeftOpen = false;  // a scene's data element swallows what follows it

  bool stopped = false;
  const DocumentPieceWriter produce = [&](DocumentOutput& output) -> Result<bool> {
    if (stop != nullptr && *stop) {
      stopped = true;
      return makeFailure(FailureCode::Cancelled, path);
    }
    text.clear();
    if (!headWritten) {
      appendDocumentHead(text);
      headWritten = true;
      if (outline != nullptr) frame = text;
      output.append(text);
      return true;
    }
    if (next < entries.size()) {
      const PlannedDocumentEntry& entry = entries[next];
      if (!merger) {
        std::optional<std::string> handed;
        if (handoff != nullptr) handed = handoff->take(static_cast<int>(next), entry.scene);
        Result<std::string> scene = handed ? Result<std::string>(std::move(*handed))
                                           : readSceneText(entry.scene, readScene, stop, rooms);
        if (!scene) {
          if (scene.failure().code == FailureCode::Cancelled) {
            stopped = true;
            return scene.failure();
          }
          changedScene = entry.scene;
          return makeFailure(FailureCode::ReadFailed, entry.scene);
        }
        keepWhole = outline != nullptr && scene->find('\xF4') != std::string::npos;
        merger =
            std::make_unique<SceneMerger>(static_cast<int>(next), std::move(*scene), false, rooms);
        mergedSize = 0;
        streamed = StreamedOutline();
      }
      // The scene's elements go out as they are merged, a piece at a time.
      std::size_t pieceSize = 0;
      for (std::string_view element = merger->next(); !element.empty(); element = merger->next()) {
        mergedSize += element.size();
        if (outline != nullptr) {
          if (keepWhole) {
            whole += element;
          } else {
            streamed.add(element);
          }
        }
        output.append(element);
        pieceSize += element.size();
        if (pieceSize >= kPieceBytes) return true;
      }
      const std::vector<std::string>& topGroups = merger->topGroupNames();
      const std::string first = topGroups.empty() ? std::string() : topGroups.front();
      merger.reset();
      if (mergedSize != entry.mergedSize || first != entry.facts.topGroup) {
        changedScene = entry.scene;
        return makeFailure(FailureCode::ReadFailed, entry.scene);
      }
      if (outline != nullptr) {
        if (keepWhole) {
          dataLeftOpen = dataLeftOpen || leavesDataOpen(whole);
          appendOutline(scenes, outlineDocument(whole));
          std::string().swap(whole);
        } else {
          dataLeftOpen = dataLeftOpen || streamed.leavesDataOpen();
          appendOutline(scenes, streamed.take());
        }
        frame += '\n';
      }
      output.append("\n");
      ++next;
      return true;
    }
    std::vector<DocumentEntryFacts> facts;
    facts.reserve(entries.size());
    for (const auto& entry : entries) facts.push_back(entry.facts);
    appendDocumentTail(text, facts);
    output.append(text);
    if (outline != nullptr) {
      // The scenes stand first in the document, before its own elements.
      frame += text;
      DocumentOutline own = outlineDocument(frame);
      scenes.wellFormed = own.wellFormed && !dataLeftOpen;
      appendOutline(scenes, std::move(own));
      *outline = std::move(scenes);
    }
    return false;
  };
  const Status status = writeDocumentFile(path, produce, written);
  if (stopped) return std::string(kCancelledMessage);
  if (changedScene) return kSourceChangedMessage + *changedScene;
  if (!status) return writeFailureText(status.failure());
  return std::nullopt;
}

}  // namespace vesk
