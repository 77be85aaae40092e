#pragma once

#include <string>
#include <vector>

namespace vesk {

// What can be wrong with a finished package.
enum class PackageFault {
  DocumentUnreadable,   // exhibition.nuv cannot be read
  DocumentUndecodable,  // it holds bytes that are not code page 932
  DocumentMalformed,    // not a NuvrelFile 1.35 document, or a data element is not closed
  AbsolutePath,         // a data path is absolute
  PathOutside,          // a data path climbs out of the package
  PathMissing,          // a data path names nothing in the package
  SceneMissing,         // an entry folder holds no scene file
  PictureUnreadable,    // a thumbnail or description picture whose size cannot be read
  PictureSizeWrong,     // a picture whose size differs from the one the document states
  ButtonMissing,        // up.jpg or down.jpg is not at the top of the package
  EntryMismatch,        // an entry's elements (me, ex, goto_ob, ex group) are missing or extra
  MenuMismatch,         // the menu pages or page events do not fit the number of entries
};

// One problem: its kind and the operator's line for it (UTF-8), which names the path,
// entry folder or element concerned.
struct PackageProblem {
  PackageFault fault;
  std::string text;
};

// Checks the package whose combined document is `documentPath`: the document decodes
// and is a NuvrelFile 1.35 document; every data path resolves to a file or folder
// inside the package (no absolute path, no ".." component); every entry folder NN
// holds a scene and the thumbnail and description the document names, with the sizes
// it states; up.jpg and down.jpg are at the top; the entries, menu pages and page
// events agree in number. Reads only. Returns every problem found, none for a sound
// package.
std::vector<PackageProblem> verifyPackage(const std::string& documentPath);

// The operator's message for a list of problems: the heading and one line each.
std::string verifyFailureText(const std::vector<PackageProblem>& problems);

}  // namespace vesk
