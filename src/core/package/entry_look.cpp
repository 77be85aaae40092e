#include "package/entry_look.h"

#include <algorithm>

#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "format/data_value.h"
#include "format/scene_scan.h"
#include "package/entry_plan.h"

namespace vesk {

FolderContents listContents(const std::string& folder, const std::function<bool()>& stop) {
  FolderContents contents;
  const Result<std::vector<FolderEntry>> entries = listFolder(folder);
  if (!entries) {
    contents.listed = entries.failure();
    return contents;
  }
  const FolderFileInfo files(folder);
  for (const FolderEntry& entry : *entries) {
    if (stop()) {
      contents.complete = false;
      break;
    }
    if (entry.type == EntryType::Folder) continue;
    const std::string path = folder + entry.name;
    FileInfo info = files.infoOf(entry.name);
    if (info.kind == FileKind::Directory) continue;
    if (entry.type == EntryType::Link) contents.links.insert(path);
    contents.files.emplace_back(path, info);
  }
  // The create copies in the listing's sorted order.
  std::sort(contents.files.begin(), contents.files.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  return contents;
}

bool holdsUnusableByte(std::string_view value) {
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == 0) return true;
#ifdef _WIN32
    if (byte < 0x20) return true;
#endif
  }
  return false;
}

std::string entryDataFile(const std::string& scenePath, const std::string& packageEntryFolder,
                          const std::string& value) {
  return sceneDataFile(folderOf(scenePath),
                       packageEntryFolder.empty() ? value : packagedDataValue(value));
}

EntryLook lookAtEntry(int entryNumber, const ExhibitionEntry& entry,
                      const std::string& packageEntryFolder, const EntryLookTools& tools,
                      const std::atomic<bool>& stop, const std::function<bool()>& cancelled) {
  EntryLook look;
  const auto stopped = [&] { return stop || (cancelled && cancelled()); };
  look.scene =
      readSceneIfReadable(entryNumber, entry.scenePath, tools.readScene, stop, tools.textRooms);
  for (const std::string* picture : {&entry.thumbnailPath, &entry.descriptionPath}) {
    if (stopped()) return look;
    if (!tools.firstLook(*picture)) continue;
    const FileInfo info = fileInfoOf(*picture);
    look.files.emplace_back(*picture, info);
    if (info.kind == FileKind::Regular && info.readable && hasImageExtension(*picture)) {
      (void)tools.probePicture(*picture);  // kept by the probe for the plan
    }
  }
  if (!look.scene.read || look.scene.failure) return look;
  for (const std::string& value : look.scene.merged.dataValues) {
    if (stopped()) return look;
    const std::string item = entryDataFile(entry.scenePath, packageEntryFolder, value);
    if (item.empty() || holdsUnusableByte(item) || !tools.firstLook(item)) continue;
    const FileInfo info = fileInfoOf(item);
    look.files.emplace_back(item, info);
    if (!copiedAsFolder(item, info.kind) || isPathSeparator(item.back())) continue;
    // The plan looks at a data folder by its path without the separator, and lists it
    // with one.
    FolderContents contents = listContents(item + kPathSeparator, stopped);
    if (!contents.complete) return look;
    look.folders.emplace_back(item + kPathSeparator, std::move(contents));
  }
  return look;
}

}  // namespace vesk
