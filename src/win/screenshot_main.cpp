// Shows the main dialog holding a few entries for some seconds, so that
// scripts/screenshot-windows can take its picture under Wine and Xvfb:
// vesk-screenshot.exe [SECONDS [problems|progress]] (default 8). With "problems" the
// problem window of a create, with two errors and two warnings, is opened over it;
// with "progress" the progress window of a create halfway. Not part of the package.
#include <chrono>
#include <cwchar>
#include <thread>

#include "application.h"
#include "main_dialog.h"
#include "problem_window.h"

namespace {

const char* const kFolder = "C:\\展示\\解剖学2024\\";
const char* const kNames[] = {"心臓", "肺", "脳MRI", "膝関節", "頭蓋骨"};

// Two errors and two warnings about the entries above, as a check could find them.
const std::vector<vesk::ProblemLine>& sampleProblems() {
  using vesk::CheckSeverity;
  static const std::vector<vesk::ProblemLine> lines = {
      {CheckSeverity::Error,
       std::string("00 データファイルが見つかりません: ") + kFolder + "心臓\\心臓.raw"},
      {CheckSeverity::Error,
       std::string("03 同じ名前のファイルがエントリーフォルダ内で重なります: ") + kFolder +
           "膝関節\\ct"},
      {CheckSeverity::Warning,
       std::string("01 サムネイルが縦長です: ") + kFolder + "肺\\肺_サムネイル.jpg"},
      {CheckSeverity::Warning,
       std::string("04 Sur グループがありません（メニューから移動できません）: ") + kFolder +
           "頭蓋骨\\頭蓋骨.nuv"},
  };
  return lines;
}

// A create halfway through its fourth entry's scene, until Cancel.
void halfwayCreate(vesk::MessageSink&, vesk::BuildProgress& progress) {
  progress.started(301977, 81);
  progress.fileStarted(std::string(kFolder) + "膝関節\\膝関節.nuv");
  progress.advanced(153600, 40);
  while (!progress.cancelRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

vesk::win::MainDialog* shownDialog = nullptr;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const int seconds = commandLine != nullptr && *commandLine != L'\0' ? _wtoi(commandLine) : 8;
  const bool problems = commandLine != nullptr && std::wcsstr(commandLine, L"problems") != nullptr;
  const bool progress = commandLine != nullptr && std::wcsstr(commandLine, L"progress") != nullptr;
  return vesk::win::runApplication(instance, [seconds, problems,
                                              progress](vesk::win::MainDialog& dialog) {
    vesk::DialogController& controller = dialog.controller();
    for (const char* name : kNames) {
      const std::string base = std::string(kFolder) + name + "\\" + name;
      controller.entryList().workingEntry() = {
          base + ".nuv", base + "_サムネイル.jpg", base + "_説明.png", {}};
      controller.onAdd();
    }
    // Show the second entry as an arrow key would select it.
    controller.onKeyDown(vesk::DialogKey::Up);
    dialog.selectLine(1);
    controller.onSelectionChanged();
    SetFocus(dialog.control(1004));
    if (problems) {
      SetTimer(dialog.window(), 2, 500, [](HWND window, UINT, UINT_PTR id, DWORD) {
        KillTimer(window, id);
        vesk::win::showProblemWindow(GetModuleHandleW(nullptr), window, sampleProblems(), false);
      });
    }
    if (progress) {
      shownDialog = &dialog;
      SetTimer(dialog.window(), 3, 500, [](HWND window, UINT, UINT_PTR id, DWORD) {
        KillTimer(window, id);
        shownDialog->buildRunner().run(vesk::ProgressStage::Create, halfwayCreate);
      });
    }
    SetTimer(dialog.window(), 1, static_cast<UINT>(seconds) * 1000,
             [](HWND window, UINT, UINT_PTR id, DWORD) {
               KillTimer(window, id);
               // A problem or progress window still open is closed (cancelled) first.
               const HWND popup = GetLastActivePopup(window);
               if (popup != window) PostMessageW(popup, WM_COMMAND, IDCANCEL, 0);
               PostMessageW(window, WM_CLOSE, 0, 0);
             });
  });
}
