#pragma once

#include <string>
#include <vector>

#include "model/exhibition_entry.h"
#include "package/package_plan.h"

namespace vesk {

// The entries as they stand once the package `plan` describes has been written into
// `packageFolder`: every scene, thumbnail or description path that lay in an entry
// folder there ("00".."98") named a file of the package the create replaced, which is
// gone now or holds another entry's copy; each such path becomes the path of its own
// copy in the new package. Every other path stays as it was, also one elsewhere in the
// folder (the operator's own sources beside a package). Pure: looks at no file.
std::vector<ExhibitionEntry> entriesAfterCreate(const PackagePlan& plan,
                                                std::vector<ExhibitionEntry> entries,
                                                const std::string& packageFolder);

// The working entry (being composed, not in the list) as it stands once the same
// package has been written: each path that lay in an entry folder there becomes the
// path of the copy of that very file, whichever entry it was copied for; one with no
// copy is emptied, as its file is gone or holds another entry's copy now. Every other
// path stays. Pure: looks at no file.
ExhibitionEntry workingEntryAfterCreate(const PackagePlan& plan, ExhibitionEntry working,
                                        const std::string& packageFolder);

}  // namespace vesk
