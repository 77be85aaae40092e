#include "package/file_role.h"

#include "base/path_terms.h"
#include "image/image_probe.h"
#include "package/folder_listing.h"

namespace vesk {

FileRole fileRoleOf(const std::string& path) {
  const std::string ext = lowerAscii(extensionOf(path));
  if (ext == ".nuv") return FileRole::Scene;
  if (!hasImageExtension(path)) return FileRole::None;
  const Result<PictureSize> size = probeImageSize(path);
  if (!size) return FileRole::None;
  return pictureRole(size->width, size->height);
}

FileRole pictureRole(int width, int height) {
  if (width <= 0 || height <= 0) return FileRole::None;
  return height > width ? FileRole::Description : FileRole::Thumbnail;
}

std::string reimportedName(const std::vector<NamedRole>& names, FileRole role) {
  const NamedRole* taken = nullptr;
  for (const NamedRole& named : names) {
    if (named.role == role && (taken == nullptr || utf16Less(taken->name, named.name))) {
      taken = &named;
    }
  }
  return taken != nullptr ? taken->name : std::string();
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
