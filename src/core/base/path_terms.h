#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Path terms as the package format uses them. On Windows "\", "/" and ":" separate
// components and "\" ends an extension; on POSIX "/" is the only separator and
// plays the part of "\" in both rules.

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// True for a character that separates path components on this platform.
bool isPathSeparator(char c);

// The last component: the text after the last separator that is followed by a
// character other than a separator; the whole path when there is none. For a path
// that ends with a separator the component keeps it ("ct/" of "/s/ct/").
std::string fileNameOf(std::string_view path);

// The text from the path's last "." on, provided no separator and no blank follows
// that dot; otherwise empty. "a.raw" gives ".raw"; "ct/" and "scan.1 old" give "".
std::string extensionOf(std::string_view path);

// `name` inside `folder`: one separator between them (none added after an empty
// folder or one that ends with a separator).
std::string joinPath(const std::string& folder, const std::string& name);

// The path up to and including its last separator; empty when it has none.
std::string folderOf(std::string_view path);

// `path` with the current folder spelled out ("./name") when it names no folder: a
// scene's folder is where the files it names are found and copied from.
std::string withFolder(const std::string& path);

// The components of a path between its separators, without the empty and "." ones
// (which name no folder of their own).
std::vector<std::string> pathComponents(std::string_view path);

// The text with the letters A to Z turned into a to z; nothing else changes.
std::string lowerAscii(std::string_view text);

// The text with its capital letters lowered as a file system that ignores letter case
// (NTFS, exFAT, FAT) takes them as one: A to Z, and beyond ASCII the capitals of the
// names a package can hold (code page 932's full-width Latin, Greek and Cyrillic
// letters and Roman numerals), with Latin-1's and circled Latin letters. Anything else,
// bytes that are not UTF-8 included, is kept as it is.
std::string foldNameCase(std::string_view text);

// True for ".jpg", ".jpeg", ".png" or ".bmp" in any letter case.
bool hasImageExtension(std::string_view path);

}  // namespace vesk
