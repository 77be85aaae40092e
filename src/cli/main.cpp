#include "process_entry.h"

int main(int argc, char** argv) {
  return vesk::cli::runProcess(argc, argv);
}
