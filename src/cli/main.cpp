#include <cstdio>
#include <iostream>

#include "cli.h"
#include "messages/messages.h"

int main(int argc, char** argv) {
  const int status = vesk::cli::run({argv + 1, argv + argc}, std::cout, std::cerr);
  // Output that did not reach its file (a full disk, a closed pipe) is a failure.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::cerr << vesk::kOutputFailedMessage << '\n';
    return status == 0 ? 1 : status;
  }
  return status;
}
