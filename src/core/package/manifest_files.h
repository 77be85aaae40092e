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

// Once the package in `packageFolder` (ending with a separator) is in place for good,
// its working folder removed: notes in its copy record each copy's status change time
// as it now lies (RecordedFile::changed; links made and removed by the run have moved
// it), for the files still of the size and time recorded, keeping the record's first
// time. A copy changed later in place shows there, whatever its size and time. Best
// effort: a record that cannot be read or written stays as it was, and a replace then
// copies its files again rather than reuse them.
void noteCopiesInPlace(const std::string& packageFolder);

}  // namespace vesk
