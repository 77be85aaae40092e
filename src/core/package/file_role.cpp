#include "package/file_role.h"

#include "base/path_terms.h"
#include "image/image_probe.h"

namespace vesk {

FileRole fileRoleOf(const std::string& path) {
  const std::string ext = lowerAscii(extensionOf(path));
  if (ext == ".nuv") return FileRole::Scene;
  if (!hasImageExtension(path)) return FileRole::None;
  int width = 0;
  int height = 0;
  if (!probeImageSize(path, width, height)) return FileRole::None;
  return height > width ? FileRole::Description : FileRole::Thumbnail;
}

void assignRole(ExhibitionEntry& entry, FileRole role, const std::string& path) {
  switch (role) {
    case FileRole::Scene:
      entry.scenePath = path;
      break;
    case FileRole::Thumbnail:
      entry.thumbnailPath = path;
      break;
    case FileRole::Description:
      entry.descriptionPath = path;
      break;
    case FileRole::None:
      break;
  }
}

}  // namespace vesk
