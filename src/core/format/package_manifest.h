#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// One file of a package in its manifest: the path relative to the package folder with
// "/" between components, and its SHA-256 as 64 lower-case hexadecimal digits.
struct ManifestLine {
  std::string path;
  std::string hex;
  bool operator==(const ManifestLine&) const = default;
};

// The manifest in the format sha256sum writes and checks: one line per file,
// "<hex>  <path>\n", sorted by the paths' bytes. A path holding "\", a line feed or a
// carriage return is written in sha256sum's escaped form: the line starts with "\" and
// those characters stand as "\\", "\n" and "\r". UTF-8 paths, no byte-order mark.
std::string manifestText(const std::vector<ManifestLine>& lines);

// What reading a manifest found: its lines in their order, or the first line that is
// not of the manifest's form.
struct ManifestReading {
  std::vector<ManifestLine> lines;
  std::size_t malformedLine = 0;  // its number, counted from 1; 0 when every line reads
};

// Reads a manifest written by manifestText or by sha256sum (text or binary mode "*"):
// its lines in their order. A line is malformed when it is not of that form, its hash
// is not 64 hexadecimal digits or its path is empty. As sha256sum reads them, empty
// lines and comments ("#") are passed over and a last line without a line feed counts;
// a relative path is read as the system resolves it, without its "." and empty
// components (sha256sum run in the package's folder on ./00/* writes "./00/...").
ManifestReading readManifest(std::string_view text);

// readManifest's lines; nothing when a line is malformed.
std::optional<std::vector<ManifestLine>> readManifestText(std::string_view text);

}  // namespace vesk
