#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"

namespace vesk {

// Splits decoded text into lines. A line ends at LF; a CR directly before the LF
// belongs to the line end (any other CR stays in its line). The last line counts
// also without a line end; an empty text has no lines.
std::vector<std::string> splitTextLines(std::string_view text);

// Reads a code page 932 text file as UTF-8 lines, split as splitTextLines does.
// Bytes that do not decode are kept as escapes (see cp932.h), so that writing the
// lines again gives the same bytes. Fails as readFile does.
Result<std::vector<std::string>> readTextLines(const std::string& path);

// Writes UTF-8 text as a code page 932 file, every LF written as CR LF, no
// byte-order mark, replacing the file atomically (see atomic_file.h). The text is
// encoded piece by piece as it is written. On failure (the encoder's for a character
// that code page 932 cannot represent, else the writer's) an existing file of that
// name is left byte-identical.
Status writeTextFile(const std::string& path, std::string_view utf8);

// The bytes writeTextFile writes for `utf8`, handed to `piece` in order, piece by
// piece (bounded memory), without writing anything; fails as the encoder does.
Status encodeTextFile(std::string_view utf8, const std::function<void(std::string_view)>& piece);

}  // namespace vesk
