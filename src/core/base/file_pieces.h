#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace vesk {

// Reads a whole file as readFile does (the same files refused, the same failures)
// but in pieces of at most 1 MiB, handed to `piece` in order
// as they are read, so that a reader that keeps only what it makes of them never
// holds the file's bytes whole. `sizeHint` (may be null) receives the size the file
// had when opened, before the first piece. Once `stop` (may be null) is set, the read
// ends after the current piece: Cancelled, naming the file.
using FilePiece = std::function<void(std::string_view bytes)>;
Status readFileInPieces(const std::string& path, const FilePiece& piece,
                        std::uint64_t* sizeHint = nullptr, const std::atomic<bool>* stop = nullptr);

}  // namespace vesk
