#pragma once

#include <vector>

namespace vesk {

// Frees files whose last name is gone, on a thread of its own (at once when no thread
// can be started): each is truncated, which frees its blocks and drops its cached pages
// rather than writing them out (milliseconds for a large file), then closed. Truncated
// while still open, a file is never freed by its last close, which would hold up the
// removal of the folders that held it. POSIX only.
void freeInBackground(std::vector<int> descriptors);

}  // namespace vesk
