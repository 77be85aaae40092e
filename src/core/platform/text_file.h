#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Reads a code page 932 text file as UTF-8 lines. A line ends at LF; a CR directly
// before the LF belongs to the line end. The last line counts also without a line
// end. Returns nullopt when the file cannot be opened or read.
std::optional<std::vector<std::string>> readTextLines(const std::string& path);

// Writes UTF-8 text as a code page 932 file, every LF written as CR LF, no
// byte-order mark, replacing the file atomically. Returns true on success. On
// failure `error` holds a message for the operator and an existing file of that
// name is left byte-identical.
bool writeTextFile(const std::string& path, std::string_view utf8, std::string& error);

}  // namespace vesk
