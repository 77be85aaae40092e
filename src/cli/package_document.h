#pragma once

#include <string>

namespace vesk::cli {

// True when `path` is an exhibition.nuv that is a regular file beside a numbered
// folder 00: the document of a package that can be read back.
bool isPackageDocument(const std::string& path);

}  // namespace vesk::cli
