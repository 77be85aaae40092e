#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vesk {

// Produces the content of a file piece by piece: called repeatedly, it appends the
// next piece to `out` and returns true while there is more; returns false when done.
// Whatever it appended is written, also on the call that returns false. It may fail
// by setting `error` to a non-empty text; nothing is then written.
using ContentWriter = std::function<bool(std::string& out, std::string& error)>;

// Replaces the file at `path` atomically: the content goes to a temporary file in
// the same folder, every write and the close are checked, the file is flushed to
// disk and renamed over the target, and the folder is flushed. Returns true on
// success. On any failure `error` holds a message for the operator
// ("エラー　<path>を書き込めませんでした: <reason>", or the producer's own text), an
// earlier file of that name is left byte-identical and no temporary file remains.
// A new file gets the permissions of a newly created file; a replaced file's
// permission bits carry over to its successor.
bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string& error);
bool writeFileAtomically(const std::string& path, const ContentWriter& produce, std::string& error);

}  // namespace vesk
