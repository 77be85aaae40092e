#include <iostream>

#include "cli.h"

int main(int argc, char** argv) {
  return vesk::cli::run({argv + 1, argv + argc}, std::cout, std::cerr);
}
