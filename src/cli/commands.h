#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vesk::cli {

// probe: one line per file, "FILE\tWIDTH\tHEIGHT", "FILE\tunreadable" or
// "FILE\tskipped". 1 when one was unreadable, else 0.
int runProbe(const std::vector<std::string>& files, std::ostream& out);

}  // namespace vesk::cli
