#pragma once

#include <string>

#include "base/failure.h"

namespace vesk {

// Makes everything written so far to the file system that holds `folder` durable, in
// one flush for the whole file system (syncfs on Linux). Fails naming `folder`, with
// the system's error number: NotFound when the folder is missing, WriteFailed when it
// cannot be opened or the flush failed. Where the platform has no such flush it does
// nothing and succeeds.
Status flushFileSystem(const std::string& folder);

// True where flushFileSystem flushes the whole file system (Linux); elsewhere it does
// nothing, and a write that must reach the disk flushes itself.
#if defined(__linux__)
inline constexpr bool kFlushesWholeFileSystem = true;
#else
inline constexpr bool kFlushesWholeFileSystem = false;
#endif

}  // namespace vesk
