#pragma once

#include <string>
#include <vector>

#include "model/exhibition_entry.h"

namespace vesk {

// Which field of an entry a file fills.
enum class FileRole { None, Scene, Thumbnail, Description };

// ".nuv" (any case) is a scene; a picture (".jpg", ".jpeg", ".png", ".bmp", any case)
// is a description when higher than wide and a thumbnail otherwise; a picture whose
// size cannot be read, and anything else, has no role.
FileRole fileRoleOf(const std::string& path);

// The role of a picture of that size: a description when higher than wide, else a
// thumbnail; None when the size is unknown (0).
FileRole pictureRole(int width, int height);

// A name at the top of an entry folder with the role a re-import gives it there.
struct NamedRole {
  std::string name;
  FileRole role = FileRole::None;
};

// The name a re-import of the package takes for `role` among `names`: the last of that
// role in the order a folder listing sorts them (UTF-16 code units); empty when none
// has it.
std::string reimportedName(const std::vector<NamedRole>& names, FileRole role);

// Stores `path` in the field of `entry` that `role` names; does nothing for None.
void assignRole(ExhibitionEntry& entry, FileRole role, const std::string& path);

}  // namespace vesk
