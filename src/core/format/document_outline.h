#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk {

// One data element of a combined document: its name, its size value (empty when it
// has none) and every path value it holds, in order.
struct DataElement {
  std::string name;
  std::string size;
  std::vector<std::string> paths;
};

// What a combined document declares, read as text by its literal markers: the same
// markers the merge cuts scenes by, so that the reader finds what the writer put.
struct DocumentOutline {
  bool wellFormed = false;  // the head, the NuvrelFile 1.35 root and its closing line
  // Bytes that code page 932 does not decode outside every data element, draw group
  // and top group name: the only places where a scene's own bytes are carried through.
  bool undecodedBytes = false;
  std::vector<DataElement> data;
  std::vector<std::string> eventNames;
  std::vector<std::string> drawGroupNames;
};

// Reads the outline of a combined document from its UTF-8 text (as decodeCp932 gives
// it, LF line ends). Never fails; an unclosed data element ends the data found and
// makes the document not well formed.
DocumentOutline outlineDocument(std::string_view text);

// Adds the outline of the text that follows in the same document: its elements and
// names after those of `outline`, its undecoded bytes to those found. `wellFormed`
// stays as it was (it is a matter of the whole document). Lets a document that is
// never held whole be outlined part by part, each part made of whole elements.
void appendOutline(DocumentOutline& outline, DocumentOutline next);

// True when the merged text leaves a "<data" that no "</data>" after it closes: the
// reader of the document would take what follows, the document's own elements
// included, as part of it.
bool leavesDataOpen(std::string_view merged);

// The data element [its "<data", its "</data>") as outlineDocument lists it.
DataElement outlineDataElement(std::string_view element);

// Width and height of a size value "W, H" (also "W,H"); nullopt when it is not two
// whole numbers.
std::optional<std::pair<int, int>> parseSizeValue(std::string_view size);

}  // namespace vesk
