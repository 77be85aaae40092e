#pragma once

#include <cstddef>

namespace vesk {

// Asks the system to back the whole large pages inside [data, data + size) with large
// pages when they are first written, so that a buffer of hundreds of MiB is faulted in
// a few hundred times instead of tens of thousands. Only a hint: the buffer's contents
// and use are unchanged, and where the system has no such pages (or refuses) nothing
// happens. Worth it for buffers of many MiB that are written whole.
void adviseLargePages(char* data, std::size_t size);

}  // namespace vesk
