#include "package/document_inputs.h"

#include <utility>

#include "base/path_terms.h"
#include "image/image_probe.h"
#include "package/scene_files.h"

namespace vesk {
namespace {

DocumentPicture measured(const std::string& path, DocumentProblems& problems) {
  if (!hasImageExtension(path)) {
    // The probe measures nothing for other extensions: say so instead of "0, 0" silently.
    problems.unsupportedPictures.push_back(path);
    return {path, 0, 0};
  }
  const Result<PictureSize> size = probeImageSize(path);
  if (!size) problems.unreadablePictures.push_back(path);
  const PictureSize pixels = size.value_or(PictureSize{});
  return {path, pixels.width, pixels.height};
}

}  // namespace

std::vector<DocumentEntry> documentEntries(const std::vector<ExhibitionEntry>& packagedEntries,
                                           std::vector<std::vector<std::string>> sceneLines,
                                           DocumentProblems& problems) {
  std::vector<DocumentEntry> entries(packagedEntries.size());
  for (std::size_t j = 0; j < entries.size(); ++j) {
    if (j < sceneLines.size()) entries[j].sceneLines = std::move(sceneLines[j]);
    entries[j].thumbnail = measured(packagedEntries[j].thumbnailPath, problems);
  }
  for (std::size_t j = 0; j < entries.size(); ++j) {
    entries[j].description = measured(packagedEntries[j].descriptionPath, problems);
  }
  return entries;
}

std::string assemblePackageDocument(const std::vector<ExhibitionEntry>& packagedEntries,
                                    std::vector<std::string>& topGroupNames,
                                    DocumentProblems& problems) {
  std::vector<std::vector<std::string>> sceneLines;
  for (const auto& entry : packagedEntries) sceneLines.push_back(readSceneLines(entry.scenePath));
  return assembleExhibitionDocument(
      documentEntries(packagedEntries, std::move(sceneLines), problems), topGroupNames);
}

}  // namespace vesk
