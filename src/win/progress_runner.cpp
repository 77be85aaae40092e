#include "progress_runner.h"

#include <commctrl.h>

#include "resource.h"
#include "wide_text.h"

namespace vesk::win {

namespace {

// The task's wake, posted to the progress window.
constexpr UINT kService = WM_APP + 1;
// The timer that shows the window once the job has run for a moment.
constexpr UINT_PTR kShowTimer = 1;

constexpr int kBarSteps = 1000;

// What the progress window's procedure works with during one run.
struct Run {
  BackgroundTask* task = nullptr;
  const std::function<void(HWND)>* onOpened = nullptr;
  bool ended = false;  // the job has ended and its last state is drawn
};

void showState(HWND window, const ProgressState& state) {
  SetDlgItemTextW(window, IDC_PROGRESS_FILE, toWide(progressItemText(state)).c_str());
  SetDlgItemTextW(window, IDC_PROGRESS_COUNT, toWide(progressCountsText(state)).c_str());
  SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, progressBarPosition(state, kBarSteps),
                      0);
  EnableWindow(GetDlgItem(window, IDCANCEL), !state.cancelling);
}

void requestCancel(HWND window, Run& run) {
  run.task->requestCancel();
  showState(window, run.task->state());
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
    case kService: {
      const ProgressState state = run->task->service();
      showState(window, state);
      if (run->task->ended()) run->ended = true;
      return TRUE;
    }
    case WM_TIMER:
      if (wParam != kShowTimer) return FALSE;
      // Never shown over a message of the job's being answered, which it would hide:
      // the timer runs on until the box is closed.
      if (run->task->answering()) return TRUE;
      KillTimer(window, kShowTimer);
      if (run->ended) return TRUE;
      ShowWindow(window, SW_SHOW);
      if (*run->onOpened) (*run->onOpened)(window);
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

bool ProgressBuildRunner::run(ProgressStage stage, const BackgroundJob& job) {
  HWND window = nullptr;
  BackgroundTask task(stage, sink_, [&window] { PostMessageW(window, kService, 0, 0); });
  Run run;
  run.task = &task;
  run.onOpened = &onOpened;
  window = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_PROGRESS), owner_, progressProc,
                              reinterpret_cast<LPARAM>(&run));
  if (window == nullptr) {  // no window: run in place
    BuildProgress none;
    job(sink_, none);
    return true;
  }
  showState(window, task.state());
  centreOver(window, owner_);
  const bool ownerWasEnabled = owner_ != nullptr && !EnableWindow(owner_, FALSE);
  task.start(job);
  SetTimer(window, kShowTimer, kProgressWindowDelayMs, nullptr);
  bool quit = false;
  int quitCode = 0;
  MSG msg;
  while (!run.ended) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The application is asked to end: that waits until the job has stopped.
      quit = true;
      quitCode = static_cast<int>(msg.wParam);
      task.requestCancel();
      continue;
    }
    if (!IsDialogMessageW(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  if (ownerWasEnabled) EnableWindow(owner_, TRUE);
  DestroyWindow(window);
  if (owner_ != nullptr) SetActiveWindow(owner_);
  if (quit) PostQuitMessage(quitCode);
  task.finish();
  return !task.cancelRequested();
}

}  // namespace vesk::win
