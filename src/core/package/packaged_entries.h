#pragma once

#include <string>
#include <vector>

#include "model/exhibition_entry.h"
#include "package/package_plan.h"

namespace vesk {

// The entries as they stand once the package `plan` describes has been written into
// `packageFolder`: every scene, thumbnail or description path that lay inside that
// folder named a file of the package the create replaced, which is gone now or holds
// another entry's copy; each such path becomes the path of its own copy in the new
// package. Paths outside the folder stay as they were, so a list of outside sources is
// left untouched. Pure: looks at no file.
std::vector<ExhibitionEntry> entriesAfterCreate(const PackagePlan& plan,
                                                std::vector<ExhibitionEntry> entries,
                                                const std::string& packageFolder);

}  // namespace vesk
