#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// A copy's status change time not known: the copy is never taken for unchanged.
inline constexpr std::int64_t kChangeUnknown = -1;

// What Vesk remembers of one file it wrote into a package, kept beside the manifest
// in a file of its own (sha256sum reads the manifest, only Vesk this record): the
// file's size and modification time once written, its hash, and the source it was
// copied from as the copy found it. Modification times are in the platform's unit of
// FileInfo::modified.
struct RecordedFile {
  std::string path;  // relative to the package folder, "/" between components
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  std::string hex;     // SHA-256, 64 lower-case hexadecimal digits
  std::string source;  // the file copied; empty for a file written, not copied (the document)
  std::uint64_t sourceSize = 0;
  std::int64_t sourceModified = 0;
  std::uint64_t sourceDevice = 0;
  std::uint64_t sourceFile = 0;
  std::int64_t sourceChanged = 0;  // the source's status change time (FileStamp::changed)
  // The copy's own status change time once the package is in place (FileStamp::changed),
  // which no program sets back: a copy rewritten with its old size and time shows there.
  // kChangeUnknown until then, and in a record of the earlier form; 0 where the file
  // system keeps none (the copy is then known by its size and time alone).
  std::int64_t changed = kChangeUnknown;
  bool operator==(const RecordedFile&) const = default;
};

// The record as text: a heading line, then one line per file with its fields separated
// by tabs, a backslash, tab, line feed or carriage return in a path written as "\\",
// "\t", "\n" or "\r". Sorted by path. `time`, when given, is the time the record was
// first written (in the units of FileStamp::modified), kept in the heading when the
// record is written again after the package is in place.
std::string copyRecordText(const std::vector<RecordedFile>& files,
                           std::optional<std::int64_t> time = std::nullopt);

// Reads copyRecordText's text back, or a record of the form before the copies' status
// change times (each then kChangeUnknown); nothing when anything in it is not of either
// form. `time` (may be null) receives the heading's time, nothing when it has none.
std::optional<std::vector<RecordedFile>> readCopyRecordText(
    std::string_view text, std::optional<std::int64_t>* time = nullptr);

}  // namespace vesk
