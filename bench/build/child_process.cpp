#include "child_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace vesk::bench {
namespace {

double now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

}  // namespace

ChildRun runChild(const std::vector<std::string>& argv, const std::string& logPath) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  ChildRun run;
  const double start = now();
  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    // Only async-signal-safe calls between fork and exec.
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log >= 0) {
      dup2(log, STDOUT_FILENO);
      dup2(log, STDERR_FILENO);
      close(log);
    }
    execvp(args[0], args.data());
    _exit(127);
  }

  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0) {
    if (errno != EINTR) return run;
  }
  run.seconds = now() - start;
  // ru_maxrss also counts the pages the child shared with this process before exec,
  // so it is an upper bound by this process's own size (a few MiB).
  run.peakKiB = usage.ru_maxrss;
  for (const timeval& tv : {usage.ru_utime, usage.ru_stime}) {
    run.cpuSeconds += static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
  }
  run.exited = WIFEXITED(status);
  run.status = run.exited ? WEXITSTATUS(status) : WIFSIGNALED(status) ? WTERMSIG(status) : -1;
  return run;
}

}  // namespace vesk::bench
