#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/dialog_controller.h"
#include "editor/dialog_view.h"
#include "message_boxes.h"
#include "progress_runner.h"

namespace vesk::win {

// What the main dialog talks to besides its own controls. Tests replace them; left
// empty, the dialog uses message boxes, the shell's folder picker and the real check
// and build.
struct DialogServices {
  MessageSink* sink = nullptr;
  ChooseDestination chooseDestination;
  BuildFunction build;
  CheckFunction check;
  // Opens a file as the desktop does (ShellExecuteW when empty).
  std::function<bool(const std::string& path)> openFile;
};

// The key of a WM_KEYDOWN as the key filter tells keys apart.
DialogKey dialogKeyOf(WPARAM virtualKey);

// The main dialog, from dialog template 102: the working entry's three read-only
// path fields, the entry list with Add, Delete, Up and Down, the count, the create
// button and the hint. It accepts dropped files and carries the about item in its
// system menu. All behaviour is the controller's; the dialog forwards the window
// messages to it and draws what it is told.
class MainDialog : public DialogView {
 public:
  explicit MainDialog(HINSTANCE instance, DialogServices services = {});
  ~MainDialog() override;
  MainDialog(const MainDialog&) = delete;
  MainDialog& operator=(const MainDialog&) = delete;

  // Creates the window (hidden) and initialises it; false when it cannot be made.
  bool create();
  // Shows the window and handles messages until the dialog has closed.
  void runModal();

  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  DialogController& controller() { return controller_; }
  ProgressBuildRunner& buildRunner() { return runner_; }

  // The key filter, for every message before it is dispatched: true when the message
  // must go no further (Enter and Escape pressed in the dialog or a control).
  bool filterMessage(const MSG& msg);

  // DialogView.
  void setListLines(const std::vector<std::string>& lines) override;
  void selectLine(int index) override;
  int selectedLine() const override;
  void setCountText(const std::string& text) override;
  void setPathFields(const std::string& scenePath, const std::string& thumbnailPath,
                     const std::string& descriptionPath) override;
  ViewRect listBoxRect() const override;
  ViewPoint cursorPosition() const override;
  ViewRect lineRect(int index) const override;
  bool showProblems(const std::vector<ProblemLine>& lines, bool canCreate) override;
  bool openFile(const std::string& path) override;

 private:
  static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
  void initialise();
  void addAboutToSystemMenu();
  void onCommand(int id, int code);
  bool paintMinimised();
  void onDropFiles(HDROP drop);
  // The context menu at `lParam` of WM_CONTEXTMENU (screen coordinates, or -1 from
  // the keyboard); its command arrives as WM_COMMAND.
  void showContextMenu(LPARAM lParam);

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool running_ = false;
  std::unique_ptr<MessageBoxSink> boxSink_;
  MessageSink& sink_;
  ProgressBuildRunner runner_;
  DialogController controller_;
  std::function<bool(const std::string& path)> openFile_;
};

}  // namespace vesk::win
