#pragma once

#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "base/failure.h"
#include "format/copy_record.h"

namespace vesk {

// Writes the manifest (kManifestName: each file's hash, as sha256sum checks it) and the
// copy record (kCopyRecordName) of the package in `packageFolder` (ending with a
// separator) from `files`, the record first, each atomically and as durable as
// `durability` says. On failure the earlier files of those names may be left, never a
// partial one.
Status writeManifestFiles(const std::string& packageFolder, const std::vector<RecordedFile>& files,
                          Durability durability = Durability::Flushed);

}  // namespace vesk
