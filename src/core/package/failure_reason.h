#pragma once

#include <string>

namespace vesk {

// Why copying `source` failed, for the operator: what the source is (missing, a pipe
// or device, a folder) where that explains it, else the system's text for `error`.
std::string copyFailureReason(const std::string& source, int error);

// Why creating the folder `path` failed: "exists" when something is there, else the
// system's text for `error`.
std::string folderFailureReason(const std::string& path, int error);

// A failure's own text followed by its reason on a line of its own.
std::string withReason(const std::string& text, const std::string& reason);

}  // namespace vesk
