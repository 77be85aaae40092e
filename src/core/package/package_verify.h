#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_kind.h"
#include "format/document_outline.h"
#include "image/image_probe.h"

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
  PictureUnreadable,    // a picture whose size cannot be read, stated other than "0, 0"
  PictureSizeWrong,     // a picture whose size differs from the one the document states
  ButtonMissing,        // up.jpg or down.jpg is not at the top of the package
  EntryMismatch,        // an entry's elements (me, ex, goto_ob, ex group) are missing or extra
  MenuMismatch,         // the menu pages or page events do not fit the number of entries
  // Found against the manifest:
  NotAPackage,         // the path given is not a package's document
  ManifestUnreadable,  // the manifest is not a manifest
  RecordUnreadable,    // a quick check finds no size in the copy record to compare
  ContentMissing,      // a listed file is not there (or cannot be read)
  ContentIrregular,    // a link, FIFO, device or folder where a file belongs
  ContentChanged,      // a listed file of another size or hash
  ContentUnlisted,     // a file or entry folder the manifest does not list
};

// One problem: its kind and the operator's line for it (UTF-8), which names the path,
// entry folder or element concerned.
struct PackageProblem {
  PackageFault fault;
  std::string text;
  // A data path's problem: the path as the document writes it ("00\b.raw"); else empty.
  std::string dataPath = {};
};

// What verify learns of a package's members, each named by its path relative to the
// package folder with the platform's separators: the files on disk, or the files a
// plan will make.
struct PackageView {
  std::function<FileKind(const std::string& relative)> kindOf;
  // A picture's size; nothing when it cannot be read.
  std::function<std::optional<PictureSize>(const std::string& relative)> pictureSize;
  // True when the entry folder ("00") holds a scene file.
  std::function<bool(const std::string& entryFolder)> holdsScene;
};

// Checks a combined document (UTF-8 with LF line ends, as decodeCp932 gives it) against
// the members `view` shows: it is a NuvrelFile 1.35 document, carrying undecodable
// bytes only inside the merged scenes; every data path resolves to a file or folder
// inside the package (no absolute path, no ".." component); every entry folder NN
// holds a scene and the thumbnail and description the document names, with the sizes
// it states (a picture stated "0, 0" may be unreadable: that is what the create
// writes for one); up.jpg and down.jpg are at the top; the entries, menu pages and
// page events agree in number. `documentName` names the document in problems.
std::vector<PackageProblem> verifyDocument(std::string_view text, const PackageView& view,
                                           const std::string& documentName);

// verifyDocument for a document known by its outline (outlineDocument), which may
// have been taken part by part.
std::vector<PackageProblem> verifyDocumentOutline(const DocumentOutline& outline,
                                                  const PackageView& view,
                                                  const std::string& documentName);

// The members of the package in `packageFolder` (ending with a separator) as they lie
// on disk: kinds by looking, picture sizes from their headers, scenes by listing.
PackageView diskPackageView(const std::string& packageFolder);

// verifyDocument for the package whose combined document is `documentPath`, as it
// lies on disk. Reads only. Returns every problem found, none for a sound package.
std::vector<PackageProblem> verifyPackage(const std::string& documentPath);

// The operator's message for a list of problems: the heading and one line each.
std::string verifyFailureText(const std::vector<PackageProblem>& problems);

}  // namespace vesk
