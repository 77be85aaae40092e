#pragma once

#include "package/build_progress.h"

namespace vesk::cli {

// While it lives, SIGINT and SIGTERM no longer end the process at once: they ask the
// create to stop before its next file, so that it never ends half way through a write
// and leaves no temporary document behind. Passes everything else on to `inner`
// (may be null). Only one guard may live at a time.
class InterruptGuard : public BuildProgress {
 public:
  explicit InterruptGuard(BuildProgress* inner);
  ~InterruptGuard() override;
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  void started(std::uint64_t totalBytes, std::uint64_t totalFiles) override;
  void fileStarted(const std::string& source) override;
  void advanced(std::uint64_t bytesDone, std::uint64_t filesDone) override;
  bool cancelRequested() override;

  // The signal that arrived, or 0.
  int signal() const;
  // Ends the process by the signal that arrived, as it would have ended without the
  // guard; does nothing when none arrived.
  void endBySignal();

 private:
  BuildProgress* inner_;
  void (*previousInt_)(int);
  void (*previousTerm_)(int);
};

}  // namespace vesk::cli
