#include "interrupt_guard.h"

#include <csignal>

namespace vesk::cli {

namespace {

// Set by the signal handler; a signal handler can reach nothing else.
volatile std::sig_atomic_t arrived = 0;

extern "C" void noteSignal(int number) {
  arrived = number;
}

}  // namespace

InterruptGuard::InterruptGuard(BuildProgress* inner)
    : inner_(inner),
      previousInt_(std::signal(SIGINT, noteSignal)),
      previousTerm_(std::signal(SIGTERM, noteSignal)) {
  arrived = 0;
}

InterruptGuard::~InterruptGuard() {
  std::signal(SIGINT, previousInt_ == SIG_ERR ? SIG_DFL : previousInt_);
  std::signal(SIGTERM, previousTerm_ == SIG_ERR ? SIG_DFL : previousTerm_);
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
  const int number = arrived;
  if (number == 0) return;
  std::signal(number, SIG_DFL);
  std::raise(number);
}

}  // namespace vesk::cli
