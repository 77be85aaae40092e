#pragma once

#include <cstddef>
#include <string>

#include "base/failure.h"
#include "format/document_outline.h"

namespace vesk {

// Bytes of a document read at a time.
inline constexpr std::size_t kDocumentPieceBytes = std::size_t{4} << 20;

// The outline of the document file at `path`, as outlineDocument gives it for the whole
// file decoded (code page 932, CR LF read as LF), read in pieces of `pieceBytes`: each
// part is decoded and outlined on its own, cut at a line end outside every element and
// name the outline reads. Memory holds a piece and the longest run of text without
// such a cut, never the whole document. Fails (naming the path) when the file cannot be
// opened or read, is no regular file, holds more than kMaxReadBytes without a cut, or
// far more elements and names than any package's document (its outline would not be
// bounded).
Result<DocumentOutline> outlineDocumentFile(const std::string& path,
                                            std::size_t pieceBytes = kDocumentPieceBytes);

}  // namespace vesk
