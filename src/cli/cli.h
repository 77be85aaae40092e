#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vesk::cli {

// Runs one vesk-cli command line (without the program name). Results go to `out`,
// messages and usage errors to `err`. Returns the process exit status: 0 success,
// 1 failure, 2 usage error.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vesk::cli
