#include "process_entry.h"

#include <cstdio>
#include <iostream>

#include "base/utf8.h"
#include "cli.h"
#include "console_stream.h"
#include "messages/messages.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>
#endif

namespace vesk::cli {

#ifdef _WIN32

std::vector<std::string> processArguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(narrow(wide[i]));
  LocalFree(wide);
  return args;
}

int runProcess(int argc, char** argv) {
  ConsoleStreamBuf outBuffer(STD_OUTPUT_HANDLE);
  ConsoleStreamBuf errBuffer(STD_ERROR_HANDLE);
  std::ostream out(&outBuffer);
  std::ostream err(&errBuffer);
  const int status = run(processArguments(argc, argv), out, err);
  out.flush();
  if (!out) {
    err << kOutputFailedMessage << '\n';
    err.flush();
    return status == 0 ? 1 : status;
  }
  err.flush();
  return status;
}

#else

std::vector<std::string> processArguments(int argc, char** argv) {
  return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

int runProcess(int argc, char** argv) {
  const int status = run(processArguments(argc, argv), std::cout, std::cerr);
  // Output that did not reach its file (a full disk, a closed pipe) is a failure.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::cerr << kOutputFailedMessage << '\n';
    return status == 0 ? 1 : status;
  }
  return status;
}

#endif

}  // namespace vesk::cli
