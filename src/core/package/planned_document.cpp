#include "package/planned_document.h"

#include "format/exhibition_document.h"
#include "format/scene_merge.h"
#include "messages/messages.h"
#include "package/failure_text.h"

namespace vesk {

std::optional<std::string> writePlannedDocument(const PackagePlan& plan, const std::string& path,
                                                const SceneReader& readScene,
                                                const WrittenBytesObserver& written,
                                                DocumentOutline* outline) {
  const std::vector<PlannedDocumentEntry>& entries = plan.documentEntries;
  std::optional<std::string> changedScene;
  std::size_t next = 0;  // the entry of the next piece; the head comes before entry 0
  bool headWritten = false;
  std::string text;  // one piece: the head, one merged scene, or the tail
  std::vector<std::string> topGroups;
  // The document's own parts as they are outlined: the head, a line end for each scene
  // and the tail, the scenes being outlined one by one as they are merged.
  std::string frame;
  DocumentOutline scenes;
  bool dataLeftOpen = false;  // a scene's data element swallows what follows it

  const DocumentPieceWriter produce = [&](DocumentOutput& output) -> Result<bool> {
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
      Result<std::string> scene = readSceneText(entry.scene, readScene);
      topGroups.clear();
      if (scene) mergeSceneText(text, static_cast<int>(next), std::move(*scene), topGroups);
      const std::string first = topGroups.empty() ? std::string() : topGroups.front();
      if (!scene || text.size() != entry.mergedSize || first != entry.facts.topGroup) {
        changedScene = entry.scene;
        return makeFailure(FailureCode::ReadFailed, entry.scene);
      }
      if (outline != nullptr) {
        dataLeftOpen = dataLeftOpen || leavesDataOpen(text);
        appendOutline(scenes, outlineDocument(text));
        frame += '\n';
      }
      text += '\n';
      ++next;
      output.append(text);
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
  if (changedScene) return kSourceChangedMessage + *changedScene;
  if (!status) return writeFailureText(status.failure());
  return std::nullopt;
}

}  // namespace vesk
