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

// Once the run's own swap has put the package in `packageFolder` (ending with a
// separator) in place, its working folder removed: notes in its copy record the status
// change time (RecordedFile::changed) of each copy the run made, linked or cloned, as
// it now lies (the links made and removed by the run have moved it), keeping the
// record's first time. A copy whose size or time is not as recorded is noted as not
// known: only its bytes could tell what it holds, and a replace copies it again. A copy
// kept with its noted time is not looked at: whoever changed it since moved that time,
// and every reuse compares it. Where the file system keeps no status change time (FAT
// and exFAT on Linux), each copy of its recorded size and time is noted as known by
// those alone (0), as before such times were noted. The record is written by way of
// `workingFolder` (ending with a separator, in the package), so that a write cut short
// leaves nothing beside it. Best effort: a record that cannot be read or written stays
// as it was, and its copies are then copied again.
void noteCopiesInPlace(const std::string& packageFolder, const std::string& workingFolder);

}  // namespace vesk
