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

// Reads a manifest written by manifestText or by sha256sum (text or binary mode "*"):
// its lines in their order; nothing when a line is not of that form, a hash is not 64
// hexadecimal digits or a path is empty. A last line without a line feed counts.
std::optional<std::vector<ManifestLine>> readManifestText(std::string_view text);

}  // namespace vesk
