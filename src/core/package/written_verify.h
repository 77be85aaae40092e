#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/copy_record.h"
#include "format/document_outline.h"
#include "package/package_verify.h"

namespace vesk {

// What a create knows of the document it has just written.
struct WrittenDocument {
  std::string path;         // the document, in its package folder
  DocumentOutline outline;  // of the text written, taken as it was written
  std::uint64_t size = 0;   // bytes written
};

// The create's own verify of the package it has just written, from what the run
// knows rather than by reading the document back: the document's outline checked
// against the members on disk as verifyPackage checks it (picture sizes from the
// pictures' headers); the document there, a regular file of the size written. With
// `files` (the files written with their sizes and hashes, the document among them; may
// be null when nothing was hashed): the package is walked once (walkWrittenPackage),
// the outline's kinds and scenes and the files as verifyWrittenContent checks them
// taken from that walk; without, kinds are looked at path by path and links, FIFOs and
// devices anywhere in the package are still problems. Hashes nothing; returns every
// problem found, none for a sound package.
std::vector<PackageProblem> verifyWrittenPackage(const WrittenDocument& document,
                                                 const std::vector<RecordedFile>* files);

}  // namespace vesk
