#pragma once

#include <string>

#include <map>
#include <vector>

#include "base/failure.h"
#include "format/copy_record.h"
#include "format/package_report.h"

namespace vesk {

// How the report's pictures reach the page.
struct PictureLinks {
  bool embedded = true;   // carried inside the page as data: URIs
  std::string urlPrefix;  // else: what leads from the page's folder to the package's
};

// Linked when the page lies in the package's folder (no prefix) or in the folder
// that holds it (the package folder's name): a copy of the package keeps them
// together. Embedded anywhere else, so that the page shows its pictures wherever it
// is moved. `outputPath` is where the page is to be written.
PictureLinks pictureLinksFor(const std::string& documentPath, const std::string& outputPath);

// What a create knows of the package it has just written and checked, so that its
// report neither hashes nor counts the files again.
struct WrittenPackage {
  std::vector<RecordedFile> files;  // every file of the package with its size and hash
  // Entry folders ("03") that lie elsewhere than beside the document, with the full
  // path (ending with a separator) of where each lies: a replace keeps them where they
  // are until the new document joins them.
  std::map<std::string, std::string> keptFolders;
};

// Gathers the report of the finished package whose combined document is
// `documentPath`: the menu plan from the document, each entry's scene, pictures (with
// their sizes read from the files) and data files and folders (counted in the
// package), the package's file and byte totals (the report itself left out) and
// every problem the package check finds (its members by packageMembers). With
// `written`, the package just written and checked by its create: the totals are those
// of its files, the manifest counts as verified now with no problem, and nothing is
// hashed or walked; pictures, scenes and data folders are looked at where they lie.
// Reads only. Fails only when the document cannot be read.
Result<PackageReport> readPackageReport(const std::string& documentPath, const PictureLinks& links,
                                        const WrittenPackage* written = nullptr);

// Makes the report of the package and writes it to `outputPath` (replaced
// atomically), stamped with the tool's version and the local time now.
Status writePackageReport(const std::string& documentPath, const std::string& outputPath);

// writePackageReport for the package a create has just written and checked (see
// readPackageReport).
Status writeWrittenPackageReport(const std::string& documentPath, const std::string& outputPath,
                                 const WrittenPackage& written);

// The operator's message for a report that could not be made: the heading with the
// file that could not be read and the system's reason on a line of its own, or the
// heading and the write failure's text.
std::string reportFailureText(const Failure& failure);

// The report's path at the top of the package whose document is `documentPath`.
std::string reportPathOf(const std::string& documentPath);

}  // namespace vesk
