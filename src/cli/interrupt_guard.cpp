#include "interrupt_guard.h"

#include <atomic>
#include <csignal>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <time.h>
#endif

namespace vesk::cli {

namespace {

// Set by the signal handler (on Windows by the console's handler thread); a signal
// handler can safely do nothing else.
volatile std::sig_atomic_t arrived = 0;

#ifdef _WIN32

// True while a guard lives: the console's close waits for the run to end.
std::atomic<bool> running{false};

BOOL WINAPI noteConsoleEvent(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      arrived = SIGINT;
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The process ends when this returns (Windows allows about 5 s): give the run
      // that time to stop and remove what it made.
      arrived = SIGTERM;
      for (int waited = 0; running.load() && waited < 4500; waited += 50) Sleep(50);
      return TRUE;
    default:
      return FALSE;
  }
}

#else

// The signals that ask a run to stop: Ctrl+C, kill, and the terminal closing.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[std::size(kStopSignals)];

// When the first stop signal came, in milliseconds of the monotonic clock.
volatile std::sig_atomic_t firstAtSeconds = 0;
volatile std::sig_atomic_t firstAtMilliseconds = 0;

// A signal within this time of the first is the same request delivered twice (a wrapper
// such as timeout sends it to the process and then to its group), not a second one.
constexpr long long kSameRequestMs = 200;

extern "C" void noteSignal(int number) {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  if (arrived == 0) {
    arrived = number;
    firstAtSeconds = static_cast<std::sig_atomic_t>(now.tv_sec);
    firstAtMilliseconds = static_cast<std::sig_atomic_t>(now.tv_nsec / 1000000);
    return;
  }
  const long long since = (static_cast<long long>(now.tv_sec) - firstAtSeconds) * 1000 +
                          now.tv_nsec / 1000000 - firstAtMilliseconds;
  if (since < kSameRequestMs) return;
  // A second stop signal of any kind takes its default action: the process ends at once.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  for (const int stop : kStopSignals) ::sigaction(stop, &fallback, nullptr);
  ::raise(number);
}

#endif

}  // namespace

InterruptGuard::InterruptGuard(BuildProgress* inner) : inner_(inner) {
  arrived = 0;
#ifdef _WIN32
  running = true;
  SetConsoleCtrlHandler(noteConsoleEvent, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = noteSignal;
  sigemptyset(&action.sa_mask);
  // Interrupted calls go on.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    ::sigaction(kStopSignals[i], &action, &previous[i]);
  }
#endif
}

InterruptGuard::~InterruptGuard() {
#ifdef _WIN32
  SetConsoleCtrlHandler(noteConsoleEvent, FALSE);
  running = false;
#else
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    ::sigaction(kStopSignals[i], &previous[i], nullptr);
  }
#endif
}

void InterruptGuard::started(std::uint64_t totalBytes, std::uint64_t totalFiles) {
  if (inner_ != nullptr) inner_->started(totalBytes, totalFiles);
}

void InterruptGuard::fileStarted(const std::string& source) {
  if (inner_ != nullptr) inner_->fileStarted(source);
}

void InterruptGuard::advanced(std::uint64_t bytesDone, std::uint64_t filesDone) {
  if (inner_ != nullptr) inner_->advanced(bytesDone, filesDone);
}

bool InterruptGuard::cancelRequested() {
  return arrived != 0 || (inner_ != nullptr && inner_->cancelRequested());
}

int InterruptGuard::signal() const {
  return arrived;
}

void InterruptGuard::endBySignal() {
#ifndef _WIN32
  const int number = arrived;
  if (number == 0) return;
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(number, &action, nullptr);
  std::raise(number);
#endif
}

}  // namespace vesk::cli
