#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "base/failure.h"

namespace vesk {

// Where a document's text goes as it is made, piece by piece.
class DocumentOutput {
 public:
  virtual ~DocumentOutput() = default;
  // Takes the next piece of the document's UTF-8 text (LF line ends).
  virtual void append(std::string_view utf8) = 0;
};

// Makes the next piece of a document: appends it to the output and returns true
// while more follows, false with the last piece, or a failure.
using DocumentPieceWriter = std::function<Result<bool>(DocumentOutput& output)>;

// Sees the bytes of a file in order, as they are written (a hasher's place).
using WrittenBytesObserver = std::function<void(std::string_view bytes)>;

// Writes a document made piece by piece to `path` as code page 932 with every LF
// written as CR LF, replacing the file atomically (see writeFileAtomically). Each
// piece is encoded in one pass as it comes and written before the next is asked
// for, so that no more than one piece is held at a time. `written` (may be empty)
// sees every byte written. On failure (the producer's, the encoder's for a character
// that code page 932 cannot represent, else the writer's) an existing file of that
// name is left byte-identical.
Status writeDocumentFile(const std::string& path, const DocumentPieceWriter& produce,
                         const WrittenBytesObserver& written = {});

}  // namespace vesk
