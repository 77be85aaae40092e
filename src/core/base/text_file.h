#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// Reads a code page 932 text file as UTF-8 lines. A line ends at LF; a CR directly
// before the LF belongs to the line end (any other CR stays in its line). The last
// line counts also without a line end; an empty file has no lines. Bytes that do
// not decode are kept as escapes (see cp932.h), so that writing the lines again
// gives the same bytes. Returns nullopt when the file cannot be opened or read.
std::optional<std::vector<std::string>> readTextLines(const std::string& path);

// Writes UTF-8 text as a code page 932 file, every LF written as CR LF, no
// byte-order mark, replacing the file atomically (see atomic_file.h). The text is
// encoded piece by piece as it is written. Returns true on success. On failure
// `error` holds a message for the operator (the encoder's for a character that code
// page 932 cannot represent, else the writer's) and an existing file of that name is
// left byte-identical.
bool writeTextFile(const std::string& path, std::string_view utf8, std::string& error);

}  // namespace vesk
