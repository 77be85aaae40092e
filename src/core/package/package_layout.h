#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// The layout of a package: the combined document and the two button images at the
// top, beside one entry folder "00".."98" per entry.
inline constexpr const char* kDocumentName = "exhibition.nuv";
inline constexpr const char* kUpButtonName = "up.jpg";
inline constexpr const char* kDownButtonName = "down.jpg";
// Beside them: the manifest, every file's SHA-256 in sha256sum's format, and Vesk's
// own record of each file's size and of the source it was copied from.
inline constexpr const char* kManifestName = "exhibition.sha256";
inline constexpr const char* kCopyRecordName = "exhibition.vesk-copies";

// The files at the top of a package besides its entry folders: the document, the two
// button images, the report page (written on request), the manifest and the copy
// record. A replace moves and removes these names, and no others, with the package.
std::vector<std::string> packageTopFileNames();

// The entry folder's name for entry number `number` (0 to 98): two digits.
std::string entryFolderName(int number);

// True for a name of two ASCII digits, the form of an entry folder.
bool isEntryFolderName(std::string_view name);

// True for a path whose last component is exactly the document's name.
bool isDocumentName(std::string_view path);

// A path of the manifest or the copy record split at "/": nothing when it is absolute,
// empty or climbs ("", "." or ".." components, and on Windows a drive or a backslash,
// which Windows reads as a separator). Only such a path names a place in the package.
std::optional<std::vector<std::string_view>> packagePathParts(std::string_view path);

// A path relative to the package as the manifest and the copy record write it ("/"
// between components) with the platform's separators, and back.
std::string nativePackagePath(std::string recordedPath);
std::string recordedPackagePath(std::string nativePath);

// True when `folder` holds a package, or what is left of one: its document (whatever
// it is) or the entry folder 00.
bool holdsPackage(const std::string& folder);

// True when `path` is a document of a package that can be read back: a regular file
// named as the document, beside the entry folder 00.
bool isPackageDocument(const std::string& path);

// The same for a package whose entry folder 00 lies at `firstEntryFolder`.
bool isPackageDocument(const std::string& path, const std::string& firstEntryFolder);

}  // namespace vesk
