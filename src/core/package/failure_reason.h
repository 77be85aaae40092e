#pragma once

#include <string>

#include "base/failure.h"

namespace vesk {

// The system error `systemError` for the operator: Japanese for the errors file work
// meets (japaneseSystemReason), else its number and the system's own text; "" for 0
// (no system error).
std::string systemReason(int systemError);

// Why copying `source` failed, for the operator: what the source is (missing, a pipe
// or device, a folder, too large, shrunk while copied) where that explains it, else
// the system's text for the failure.
std::string copyFailureReason(const std::string& source, const Failure& failure);

// Why creating a folder failed: "exists" when something is there, else the system's
// text.
std::string folderFailureReason(const Failure& failure);

// A failure's own text followed by its reason on a line of its own.
std::string withReason(const std::string& text, const std::string& reason);

}  // namespace vesk
