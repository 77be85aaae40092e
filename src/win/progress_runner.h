#pragma once

#include <windows.h>

#include <functional>

#include "editor/build_runner.h"
#include "messages/message_sink.h"

namespace vesk::win {

// Runs the check before a create, and the create, as a BackgroundTask behind a
// progress window (template 103) that is modal to `owner` (disabled at once, the
// window shown after kProgressWindowDelayMs): the window draws the
// task's ProgressState (the item worked on, a bar, the counts) and offers Cancel,
// which (as Escape and the close box) asks the job to stop. The dialog's thread goes
// on handling messages, so every window keeps painting. Messages the job reports are
// shown by `sink` on the dialog's thread, a success message once the progress window
// has gone.
class ProgressBuildRunner : public BuildRunner {
 public:
  ProgressBuildRunner(HINSTANCE instance, MessageSink& sink) : instance_(instance), sink_(sink) {}
  void setOwner(HWND owner) { owner_ = owner; }

  bool run(ProgressStage stage, const BackgroundJob& job) override;

  // Called on the dialog's thread with the progress window once it is shown.
  std::function<void(HWND)> onOpened;

 private:
  HINSTANCE instance_;
  MessageSink& sink_;
  HWND owner_ = nullptr;
};

}  // namespace vesk::win
