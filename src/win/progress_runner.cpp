#include "progress_runner.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

#include "resource.h"
#include "wide_text.h"

namespace vesk::win {

namespace {

// Messages to the progress window.
constexpr UINT kShowProgress = WM_APP + 1;  // the latest state is waiting
constexpr UINT kShowMessage = WM_APP + 2;   // lParam: the Request to answer
constexpr UINT kBuildEnded = WM_APP + 3;

constexpr int kBarSteps = 1000;

// A message or a question from the worker, answered on the dialog's thread.
struct Request {
  const Message* message;       // a message to show, or
  const std::string* question;  // a question to ask
  DefaultAnswer defaultAnswer = DefaultAnswer::Yes;
  bool answer = false;
};

// What the progress window and the worker share for one run.
struct Run {
  MessageSink* sink = nullptr;
  std::mutex mutex;
  CopyState state;  // guarded by mutex
  std::atomic<bool> posted{false};
  std::atomic<bool> cancelled{false};
  bool ended = false;  // dialog's thread only
  HWND window = nullptr;
};

// The build's progress, handed to the window; at most one update waits at a time.
class ForwardedProgress : public BuildProgress {
 public:
  explicit ForwardedProgress(Run& run) : run_(run) {}

  void started(std::uint64_t totalBytes, std::uint64_t totalFiles) override {
    update([&](CopyState& s) {
      s.started = true;
      s.totalBytes = totalBytes;
      s.totalFiles = totalFiles;
    });
  }
  void fileStarted(const std::string& source) override {
    update([&](CopyState& s) { s.currentFile = source; });
  }
  void advanced(std::uint64_t bytesDone, std::uint64_t filesDone) override {
    update([&](CopyState& s) {
      s.bytesDone = bytesDone;
      s.filesDone = filesDone;
    });
  }
  bool cancelRequested() override { return run_.cancelled.load(); }

 private:
  template <typename Change>
  void update(const Change& change) {
    {
      const std::lock_guard lock(run_.mutex);
      change(run_.state);
    }
    if (!run_.posted.exchange(true)) PostMessageW(run_.window, kShowProgress, 0, 0);
  }

  Run& run_;
};

// Hands each message to the dialog's thread and waits for the operator's answer.
class WorkerSink : public MessageSink {
 public:
  explicit WorkerSink(HWND window) : window_(window) {}
  void showMessage(const Message& message) override {
    Request request{&message, nullptr};
    SendMessageW(window_, kShowMessage, 0, reinterpret_cast<LPARAM>(&request));
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    Request request{nullptr, &text, defaultAnswer};
    SendMessageW(window_, kShowMessage, 0, reinterpret_cast<LPARAM>(&request));
    return request.answer;
  }

 private:
  HWND window_;
};

void showState(HWND window, const CopyState& state, bool cancelled) {
  if (state.started && !cancelled) {
    const std::wstring file = state.currentFile.empty() ? std::wstring(L"コピーしています…")
                                                        : L"コピー中: " + toWide(state.currentFile);
    SetDlgItemTextW(window, IDC_PROGRESS_FILE, file.c_str());
  }
  SetDlgItemTextW(window, IDC_PROGRESS_COUNT, countsText(state).c_str());
  SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, barPosition(state), 0);
}

void requestCancel(HWND window, Run& run) {
  if (run.cancelled.exchange(true)) return;
  EnableWindow(GetDlgItem(window, IDCANCEL), FALSE);
  SetDlgItemTextW(window, IDC_PROGRESS_FILE, L"中止しています…");
}

INT_PTR CALLBACK progressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarSteps);
    return TRUE;
  }
  auto* run = reinterpret_cast<Run*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (run == nullptr) return FALSE;
  switch (message) {
    case kShowProgress: {
      run->posted = false;
      CopyState state;
      {
        const std::lock_guard lock(run->mutex);
        state = run->state;
      }
      showState(window, state, run->cancelled);
      return TRUE;
    }
    case kShowMessage: {
      auto* request = reinterpret_cast<Request*>(lParam);
      if (request->question != nullptr) {
        request->answer = run->sink->askYesNo(*request->question, request->defaultAnswer);
      } else {
        run->sink->showMessage(*request->message);
      }
      return TRUE;
    }
    case kBuildEnded:
      run->ended = true;
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) requestCancel(window, *run);
      return TRUE;
    case WM_CLOSE:
      requestCancel(window, *run);
      return TRUE;
  }
  return FALSE;
}

// Places `window` over the middle of `owner`.
void centreOver(HWND window, HWND owner) {
  RECT outer;
  RECT inner;
  if (owner == nullptr || !GetWindowRect(owner, &outer) || !GetWindowRect(window, &inner)) return;
  const int width = inner.right - inner.left;
  const int height = inner.bottom - inner.top;
  SetWindowPos(window, nullptr, outer.left + (outer.right - outer.left - width) / 2,
               outer.top + (outer.bottom - outer.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::wstring formatBytes(std::uint64_t bytes) {
  static const wchar_t* const units[] = {L"B", L"KB", L"MB", L"GB", L"TB"};
  double value = static_cast<double>(bytes);
  int unit = 0;
  while (value >= 1024 && unit < 4) {
    value /= 1024;
    ++unit;
  }
  wchar_t text[32];
  if (unit == 0) {
    std::swprintf(text, 32, L"%llu %ls", static_cast<unsigned long long>(bytes), units[0]);
  } else {
    std::swprintf(text, 32, L"%.1f %ls", value, units[unit]);
  }
  return text;
}

std::wstring countsText(const CopyState& state) {
  return formatBytes(state.bytesDone) + L" / " + formatBytes(state.totalBytes) + L"\u3000" +
         std::to_wstring(state.filesDone) + L" / " + std::to_wstring(state.totalFiles) +
         L" ファイル";
}

int barPosition(const CopyState& state) {
  double share = 0;
  if (state.totalBytes > 0) {
    share = static_cast<double>(state.bytesDone) / static_cast<double>(state.totalBytes);
  } else if (state.totalFiles > 0) {
    share = static_cast<double>(state.filesDone) / static_cast<double>(state.totalFiles);
  }
  return static_cast<int>(std::clamp(share, 0.0, 1.0) * kBarSteps);
}

BuildReport ProgressBuildRunner::run(const BuildJob& job) {
  Run run;
  run.sink = &sink_;
  run.window = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_PROGRESS), owner_, progressProc,
                                  reinterpret_cast<LPARAM>(&run));
  if (run.window == nullptr) return job(sink_, nullptr);  // no window: run in place

  centreOver(run.window, owner_);
  const bool ownerWasEnabled = owner_ != nullptr && !EnableWindow(owner_, FALSE);
  ShowWindow(run.window, SW_SHOW);
  if (onOpened) onOpened(run.window);

  ForwardedProgress progress(run);
  WorkerSink workerSink(run.window);
  BuildReport report;
  std::exception_ptr failure;
  std::thread worker([&] {
    try {
      report = job(workerSink, &progress);
    } catch (...) {
      failure = std::current_exception();
    }
    PostMessageW(run.window, kBuildEnded, 0, 0);
  });

  bool quit = false;
  int quitCode = 0;
  MSG msg;
  while (!run.ended) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The application is asked to end: that waits until the build has stopped.
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      run.cancelled = true;
      continue;
    }
    if (!IsDialogMessageW(run.window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  worker.join();

  if (ownerWasEnabled) EnableWindow(owner_, TRUE);
  DestroyWindow(run.window);
  if (owner_ != nullptr) SetActiveWindow(owner_);
  if (quit) PostQuitMessage(quitCode);
  if (failure) std::rethrow_exception(failure);
  return report;
}

}  // namespace vesk::win
