#include "package/file_role.h"

#include "base/path_terms.h"
#include "image/image_probe.h"

namespace vesk {

FileRole fileRoleOf(const std::string& path) {
  const std::string ext = lowerAscii(extensionOf(path));
  if (ext == ".nuv") return FileRole::Scene;
  if (!hasImageExtension(path)) return FileRole::None;
  const Result<PictureSize> size = probeImageSize(path);
  if (!size) return FileRole::None;
  return size->height > size->width ? FileRole::Description : FileRole::Thumbnail;
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
