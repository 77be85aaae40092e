#pragma once

#include <string>
#include <vector>

namespace vesk::bench {

struct ChildRun {
  bool exited = false;    // ended by exit() rather than by a signal or a failed start
  int status = -1;        // exit status when exited, else the signal number (or -1)
  double seconds = 0;     // wall time from fork to reaped
  double cpuSeconds = 0;  // user and system time of the child
  long peakKiB = 0;       // peak resident set size of the child (ru_maxrss)
};

// Runs argv[0] (looked up in PATH when it holds no "/") with its output and errors
// going to `logPath`, and waits for it.
ChildRun runChild(const std::vector<std::string>& argv, const std::string& logPath);

}  // namespace vesk::bench
