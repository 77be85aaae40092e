#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "wide_text.h"

namespace vesk::win::testing {

using vesk::test::TempDir;

// Records messages and questions with the thread they arrived on; answers from a
// script.
class ThreadRecordingSink : public vesk::test::StrictRecordingSink {
 public:
  void showMessage(const Message& message) override {
    threads.push_back(GetCurrentThreadId());
    StrictRecordingSink::showMessage(message);
    if (onMessage) onMessage(message.text);
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    threads.push_back(GetCurrentThreadId());
    return RecordingSink::askYesNo(text, defaultAnswer);
  }
  std::vector<DWORD> threads;
  std::function<void(const std::string&)> onMessage;  // runs inside showMessage
};

// Handles every message waiting for this thread.
inline void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// The text of a window as UTF-8.
inline std::string textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return toUtf8(text);
}

// Runs `action` once, from a timer, on the first window of this thread that becomes
// visible after the call (a box or the about dialog, inside its modal loop). The
// window is looked for on every tick rather than taken as the active one: under a
// loaded display the activation may come later than the first tick.
inline void whenModal(std::function<void(HWND)> action) {
  static std::function<void(HWND)> pending;
  static std::vector<HWND> before;
  pending = std::move(action);
  before.clear();
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM) {
        if (IsWindowVisible(w)) before.push_back(w);
        return TRUE;
      },
      0);
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM out) {
          if (!IsWindowVisible(w) || std::find(before.begin(), before.end(), w) != before.end()) {
            return TRUE;
          }
          *reinterpret_cast<HWND*>(out) = w;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    if (found == nullptr) return;  // not shown yet: the next tick looks again
    KillTimer(nullptr, id);
    auto run = std::move(pending);
    if (run) run(found);
  });
}

// A shown main dialog whose message boxes, folder chooser, check and (when given)
// build are doubles.
class WinDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { open(); }

  void open(BuildFunction build = {}) {
    DialogServices services;
    services.sink = &sink;
    services.chooseDestination = [this](const std::string& start) {
      chooserStarts.push_back(start);
      return chosenFolder;
    };
    services.build = std::move(build);
    services.check = [this](const CheckRequest& request) {
      checks.push_back(request);
      checkThreads.push_back(GetCurrentThreadId());
      if (onCheck) onCheck(request);
      // The real plan of the entries, with the problems the test asks for.
      PackagePlan plan = planPackage(request);
      plan.problems = problems;
      return plan;
    };
    services.openFile = [this](const std::string& path) {
      openedFiles.push_back(path);
      return true;
    };
    dialog = std::make_unique<MainDialog>(GetModuleHandleW(nullptr), std::move(services));
    ASSERT_TRUE(dialog->create());
    ShowWindow(dialog->window(), SW_SHOW);
    SetForegroundWindow(dialog->window());
    pumpMessages();
  }

  HWND control(int id) const { return dialog->control(id); }
  void click(int id) {
    SendMessageW(dialog->window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(control(id)));
  }

  // Adds one real entry (a landscape thumbnail, a
  // portrait description made in `folder`'s src/) and makes out/ in `folder` the folder
  // the chooser answers.
  void addRealEntryAndChooseOut(const TempDir& folder) {
    dialog->controller().entryList().workingEntry() = {
        folder.write("src/a.nuv", "<drawGroup name=\"g\"></drawGroup>\n"),
        folder.picture("src/t.png", "landscape.png"),
        folder.picture("src/d.jpg", "portrait.jpg"),
        {}};
    click(1006);
    chosenFolder = folder.file("out");
    std::filesystem::create_directories(std::filesystem::path(chosenFolder));
  }
  // A key pressed in `target`, through the key filter as the message loop does.
  void press(HWND target, WPARAM key) {
    MSG msg{target, WM_KEYDOWN, key, 1, static_cast<DWORD>(GetMessageTime()), {}};
    if (!dialog->filterMessage(msg) && !IsDialogMessageW(dialog->window(), &msg)) {
      DispatchMessageW(&msg);
    }
    MSG up{target, WM_KEYUP, key, 0xC0000001, static_cast<DWORD>(GetMessageTime()), {}};
    DispatchMessageW(&up);
    pumpMessages();
  }

  std::vector<std::string> fields() const {
    return {textOf(control(1001)), textOf(control(1002)), textOf(control(1003))};
  }
  std::vector<std::string> lines() const {
    std::vector<std::string> texts;
    const HWND list = control(1004);
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                        L'\0');
      text.resize(static_cast<std::size_t>(
          SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
      texts.push_back(toUtf8(text));
    }
    return texts;
  }
  int selectedRow() const {
    const auto row = static_cast<int>(SendMessageW(control(1004), LB_GETCURSEL, 0, 0));
    return row == LB_ERR ? -1 : row;
  }
  std::string count() const { return textOf(control(1008)); }

  // Puts an entry named `name` into the working entry and presses Add.
  void add(const std::string& name) {
    dialog->controller().entryList().workingEntry() = {
        "C:\\s\\" + name + ".nuv", "C:\\s\\" + name + "_t.png", "C:\\s\\" + name + "_d.png", {}};
    click(1006);
  }

  ThreadRecordingSink sink;
  std::string chosenFolder;
  std::vector<std::string> chooserStarts;
  // What the check finds, and the checks made.
  std::vector<CheckProblem> problems;
  std::vector<CheckRequest> checks;
  std::vector<DWORD> checkThreads;
  std::function<void(const CheckRequest&)> onCheck;  // runs inside the check, on its thread
  // The files the dialog handed to the desktop to open.
  std::vector<std::string> openedFiles;
  std::unique_ptr<MainDialog> dialog;
};

}  // namespace vesk::win::testing
