#pragma once

#include <string>

namespace vesk {

// Makes everything written so far to the file system that holds `folder` durable, in
// one flush for the whole file system (syncfs on Linux). Returns false, with the
// system's error number in `error`, when the flush failed. Where the platform has no
// such flush it does nothing and returns true.
bool flushFileSystem(const std::string& folder, int& error);

}  // namespace vesk
