#pragma once

#include <string>

#include "model/exhibition_entry.h"

namespace vesk {

// Which field of an entry a file fills.
enum class FileRole { None, Scene, Thumbnail, Description };

// ".nuv" (any case) is a scene; a picture (".jpg", ".jpeg", ".png", ".bmp", any case)
// is a description when higher than wide and a thumbnail otherwise; a picture whose
// size cannot be read, and anything else, has no role.
FileRole fileRoleOf(const std::string& path);

// Stores `path` in the field of `entry` that `role` names; does nothing for None.
void assignRole(ExhibitionEntry& entry, FileRole role, const std::string& path);

}  // namespace vesk
