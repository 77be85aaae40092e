#pragma once

#include <string>
#include <string_view>

#include "format/document_outline.h"

namespace vesk {

// Outlines a merged scene given piece by piece, each piece ending with a line feed
// (the merged elements as SceneMerger gives them), as outlineDocument and
// leavesDataOpen do for the pieces joined, without holding them joined. No marker
// the outline looks for holds a line feed, so none runs from one piece into the
// next; an element or a name left open at the end of a piece is kept until a later
// piece closes it. Undecoded bytes are not looked for: for text without the escapes'
// first byte (0xF4) outlineDocument finds none.
class StreamedOutline {
 public:
  void add(std::string_view piece);

  // leavesDataOpen of the pieces given so far, joined.
  bool leavesDataOpen() const { return dataOpen_; }

  // The data elements, event names and draw group names outlineDocument finds in the
  // pieces given so far, joined; not well formed, no undecoded bytes.
  DocumentOutline take();

 private:
  // A name whose opening marker has been found, waiting for its closing quote.
  // The values after one opening marker, the last perhaps still without its quote.
  struct Names {
    std::string_view open;
    std::vector<std::string> found;
    bool pending = false;  // `partial` is a value whose closing quote is still to come
    std::string partial;
  };
  // Ends a name left waiting by the piece before; gives where the next opening
  // marker may start in `piece` (npos: nowhere, the name runs on past it).
  static std::size_t resumeNames(Names& names, std::string_view piece);
  // Takes the name from `start` to its closing quote; gives where the next opening
  // marker may start (npos: nowhere, the name runs on past the piece).
  static std::size_t addName(Names& names, std::string_view piece, std::size_t start);

  std::vector<DataElement> data_;
  bool dataOpen_ = false;  // a "<data" is left that no "</data>" has closed yet
  std::string openData_;   // the text of that data element so far
  Names events_{"<event name=\"", {}, false, {}};
  Names groups_{"<drawGroup name=\"", {}, false, {}};
};

}  // namespace vesk
