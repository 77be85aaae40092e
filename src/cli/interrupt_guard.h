#pragma once

#include "package/build_progress.h"
#include "package/package_plan.h"

namespace vesk::cli {

// While it lives, SIGINT and SIGTERM (on Windows Ctrl+C, Ctrl+Break and the closing of
// the console) no longer end the process at once: they ask the run to stop, the check
// between two files and the create after the piece of the copy it is at, so that it
// never ends half way through a write. A second SIGINT or SIGTERM ends the process as
// usual; one within 200 ms of the first is that first one delivered twice (a wrapper
// such as timeout passes it on to its process group too). Passes everything else on to `inner` (may
// be null). Only one guard may live at a time.
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

  // Asks the same cancel of a check: pass it to planPackage.
  PlanObserver& planObserver() { return planObserver_; }

  // The signal that arrived (SIGINT or SIGTERM, also for the console's events), or 0.
  int signal() const;
  // Ends the process by the signal that arrived, as it would have ended without the
  // guard (on Windows, where that is not how a console program ends, it returns);
  // does nothing when none arrived.
  void endBySignal();

 private:
  class PlanCancel : public PlanObserver {
   public:
    explicit PlanCancel(InterruptGuard& guard) : guard_(guard) {}
    bool cancelRequested() override { return guard_.cancelRequested(); }

   private:
    InterruptGuard& guard_;
  };

  BuildProgress* inner_;
  PlanCancel planObserver_{*this};
};

}  // namespace vesk::cli
