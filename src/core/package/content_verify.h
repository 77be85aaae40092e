#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "format/copy_record.h"
#include "format/package_report.h"
#include "package/package_verify.h"
#include "package/written_tree.h"

namespace vesk {

// How much of the files verify compares with the manifest.
enum class ContentCheck {
  Full,   // every listed file read and hashed
  Quick,  // presence, kind and size (from the copy record) only
};

struct ContentVerdict {
  ManifestState manifest = ManifestState::NoManifest;
  std::size_t listedFiles = 0;  // files the manifest lists (a line repeated counted once)
  std::vector<PackageProblem> problems;
};

// Checks the files of the package in `packageFolder` (ending with a separator)
// against its manifest: each listed path lies inside the package and names a regular
// file reached through real folders only (no link anywhere on its way), of the
// recorded size and, as `check` asks, of the listed hash; the entry folders hold no
// file or entry folder the manifest does not list (an empty folder is no file).
// Symbolic links, FIFOs and devices anywhere in the package are problems, also without
// a manifest; none is followed or opened. Without a manifest: NoManifest and only that.
ContentVerdict verifyPackageContent(const std::string& packageFolder, ContentCheck check);

// The create's own check of the files it has just written, from `tree` (one walk of
// the package) and `written` (each file with the size and hash taken while writing
// it): the manifest and the copy record hold exactly what `written` makes of them
// (both read back); every file written is there, a regular file reached through real
// folders, of its written size; nothing unlisted in the entry folders, no link, FIFO
// or device anywhere. Looks at nothing the walk did not find; hashes nothing. The
// files of the entry folders named in `elsewhere` (sorted) lie outside the tree (a
// replace keeps them where they are): they are counted, and left to the caller.
ContentVerdict verifyWrittenContent(const WrittenTree& tree,
                                    const std::vector<RecordedFile>& written,
                                    const std::vector<std::string>& elsewhere = {});

// True when `documentPath` can be a package's document as verify takes one: a regular
// file (not a link) named exhibition.nuv beside the entry folder 00 that starts as a
// document does. Reads only the file's first bytes.
bool isDocumentToRead(const std::string& documentPath);

// The whole verify of the package whose document is `documentPath`: a regular file
// named exhibition.nuv beside the entry folder 00 that starts as a document does
// (else one NotAPackage problem, found without reading it), its structure
// (verifyPackage), then its files against the manifest.
ContentVerdict verifyWholePackage(const std::string& documentPath, ContentCheck check);

// The line below verify's verdict: what was compared (every hash, sizes only, or
// nothing for want of a manifest).
std::string contentNoteText(const ContentVerdict& verdict, ContentCheck check);

}  // namespace vesk
