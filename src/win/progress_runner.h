#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "editor/build_runner.h"
#include "messages/message_sink.h"

namespace vesk::win {

// What a create has copied so far, as the progress window shows it.
struct CopyState {
  bool started = false;
  std::uint64_t totalBytes = 0;
  std::uint64_t totalFiles = 0;
  std::uint64_t bytesDone = 0;
  std::uint64_t filesDone = 0;
  std::string currentFile;
};

// A byte count for people: "0 B", "512 B", "1.5 KB", "12.3 MB", "2.0 GB".
std::wstring formatBytes(std::uint64_t bytes);
// The counts line of the progress window: "1.5 KB / 3.0 MB　2 / 9 ファイル".
std::wstring countsText(const CopyState& state);
// The bar's position from 0 to 1000: bytes when there are any, else files.
int barPosition(const CopyState& state);

// Runs the build of a create on a worker thread behind a progress window (template
// 103) that is modal to `owner`: the window shows the file being copied, the bytes
// and files done and a Cancel button, which (as Escape and the close box) asks the
// build to stop. The dialog's thread goes on handling messages, so every window
// keeps painting. Messages the build reports are shown by `sink` on the dialog's
// thread; the worker waits until each box is closed.
class ProgressBuildRunner : public BuildRunner {
 public:
  ProgressBuildRunner(HINSTANCE instance, MessageSink& sink) : instance_(instance), sink_(sink) {}
  void setOwner(HWND owner) { owner_ = owner; }

  BuildReport run(const BuildJob& job) override;

  // Called on the dialog's thread with the progress window once it is shown.
  std::function<void(HWND)> onOpened;

 private:
  HINSTANCE instance_;
  MessageSink& sink_;
  HWND owner_ = nullptr;
};

}  // namespace vesk::win
