#include "package/entry_plan.h"

#include <map>

#include "base/path_terms.h"
#include "format/data_value.h"

namespace vesk {

bool copiedAsFolder(const std::string& item, FileKind kind) {
  return extensionOf(item).empty() && kind != FileKind::Regular;
}

namespace {

std::string withTrailingSeparator(std::string folder) {
  if (folder.empty() || !isPathSeparator(folder.back())) folder += kPathSeparator;
  return folder;
}

// The path below the scene folder when the item lies there and stays there, else the
// last component.
std::string placeInEntryFolder(const std::string& item, const std::string& sceneFolder) {
  if (!sceneFolder.empty() && item.size() > sceneFolder.size() &&
      item.compare(0, sceneFolder.size(), sceneFolder) == 0) {
    std::string relative = item.substr(sceneFolder.size());
    if (!dataValueLeavesFolder(relative) && !isPathSeparator(relative.front())) return relative;
  }
  return fileNameOf(item);
}

// The place without a trailing separator: a folder and a file of one name collide.
std::string placeKey(const std::string& place) {
  std::string key = place;
  while (!key.empty() && isPathSeparator(key.back())) key.pop_back();
  return key;
}

}  // namespace

std::vector<PlannedFile> planEntryFiles(const ExhibitionEntry& entry,
                                        const std::vector<bool>& dataFolders) {
  std::vector<PlannedFile> plan;
  plan.push_back({PlannedRole::Scene, entry.scenePath, fileNameOf(entry.scenePath)});
  plan.push_back({PlannedRole::Thumbnail, entry.thumbnailPath, fileNameOf(entry.thumbnailPath)});
  plan.push_back(
      {PlannedRole::Description, entry.descriptionPath, fileNameOf(entry.descriptionPath)});
  const std::string sceneFolder = folderOf(entry.scenePath);
  for (std::size_t i = 0; i < entry.dataFiles.size(); ++i) {
    const bool folder = i < dataFolders.size() && dataFolders[i];
    const std::string source =
        folder ? withTrailingSeparator(entry.dataFiles[i]) : entry.dataFiles[i];
    plan.push_back({folder ? PlannedRole::DataFolder : PlannedRole::DataFile, source,
                    placeInEntryFolder(source, sceneFolder)});
  }
  return plan;
}

std::vector<PlannedCollision> findCollisions(const std::vector<std::vector<PlannedFile>>& plans) {
  std::vector<PlannedCollision> collisions;
  for (std::size_t number = 0; number < plans.size(); ++number) {
    std::map<std::string, const std::string*> sources;
    for (const auto& file : plans[number]) {
      const auto [at, added] = sources.try_emplace(placeKey(file.place), &file.source);
      if (added || *at->second == file.source) continue;
      collisions.push_back({static_cast<int>(number), file.place, *at->second, file.source});
    }
  }
  return collisions;
}

std::vector<std::string> findUnwritableNames(const std::vector<std::vector<PlannedFile>>& plans) {
  std::vector<std::string> names;
  for (const auto& plan : plans) {
    for (const auto& file : plan) {
      if (file.role != PlannedRole::Thumbnail && file.role != PlannedRole::Description) continue;
      if (file.place.find_first_of("\"\r\n") != std::string::npos) names.push_back(file.source);
    }
  }
  return names;
}

}  // namespace vesk
