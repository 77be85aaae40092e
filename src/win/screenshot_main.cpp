// Shows the main dialog holding a few entries for some seconds, so that
// scripts/screenshot-windows can take its picture under Wine and Xvfb:
// vesk-screenshot.exe [SECONDS] (default 8). Not part of the package.
#include <cwchar>

#include "application.h"
#include "main_dialog.h"

namespace {

const char* const kFolder = "C:\\展示\\解剖学2024\\";
const char* const kNames[] = {"心臓", "肺", "脳MRI", "膝関節", "頭蓋骨"};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const int seconds = commandLine != nullptr && *commandLine != L'\0' ? _wtoi(commandLine) : 8;
  return vesk::win::runApplication(instance, [seconds](vesk::win::MainDialog& dialog) {
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
    SetTimer(dialog.window(), 1, static_cast<UINT>(seconds) * 1000,
             [](HWND window, UINT, UINT_PTR id, DWORD) {
               KillTimer(window, id);
               PostMessageW(window, WM_CLOSE, 0, 0);
             });
  });
}
