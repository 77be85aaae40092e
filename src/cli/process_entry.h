#pragma once

#include <string>
#include <vector>

namespace vesk::cli {

// The command-line arguments after the program name, as UTF-8 text. On Windows they
// are read from the wide command line (CommandLineToArgvW), since `argv` holds them
// in the ANSI code page, which cannot carry every file name.
std::vector<std::string> processArguments(int argc, char** argv);

// Runs vesk-cli for the process: its arguments, and standard output and error that
// show UTF-8 text right also in a Windows console. Returns the exit status.
int runProcess(int argc, char** argv);

}  // namespace vesk::cli
