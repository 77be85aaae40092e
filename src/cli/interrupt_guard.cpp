#include "interrupt_guard.h"

#include <atomic>
#include <csignal>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
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

extern "C" void noteSignal(int number) {
  arrived = number;
}

struct sigaction previousInt;
struct sigaction previousTerm;

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
  // Interrupted calls go on; the second signal takes the default action again.
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  ::sigaction(SIGINT, &action, &previousInt);
  ::sigaction(SIGTERM, &action, &previousTerm);
#endif
}

InterruptGuard::~InterruptGuard() {
#ifdef _WIN32
  SetConsoleCtrlHandler(noteConsoleEvent, FALSE);
  running = false;
#else
  ::sigaction(SIGINT, &previousInt, nullptr);
  ::sigaction(SIGTERM, &previousTerm, nullptr);
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
