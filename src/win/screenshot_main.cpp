// Shows the main dialog holding the sample's entries for some seconds, so that
// scripts/screenshot-windows can take its picture under Wine and Xvfb:
// vesk-screenshot.exe SECONDS SAMPLE_FOLDER [problems|replace]. With "problems" the
// problem window of a create (what the check finds in a damaged copy of the entries)
// is opened over it, with "replace" the question before an earlier package is
// replaced. Not part of the package.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <filesystem>
#include <string>
#include <vector>

#include "application.h"
#include "editor/problem_lines.h"
#include "main_dialog.h"
#include "message_boxes.h"
#include "messages/messages.h"
#include "package/package_check.h"
#include "problem_window.h"
#include "wide_text.h"

namespace {

namespace fs = std::filesystem;

// The first file of `folder` whose name ends with one of `endings`, or "".
std::string fileEndingWith(const fs::path& folder, const std::vector<std::wstring>& endings) {
  std::vector<std::wstring> names;
  std::error_code error;
  for (const auto& item : fs::directory_iterator(folder, error)) {
    if (item.is_regular_file(error)) names.push_back(item.path().filename().wstring());
  }
  std::sort(names.begin(), names.end());
  for (const std::wstring& name : names) {
    for (const std::wstring& ending : endings) {
      if (name.size() >= ending.size() &&
          name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
        return vesk::win::toUtf8((folder / name).wstring());
      }
    }
  }
  return {};
}

// Entries from the sample: one per folder, with its scene, *_thumb and *_desc picture.
std::vector<vesk::ExhibitionEntry> sampleEntries(const std::wstring& sample) {
  std::vector<fs::path> folders;
  std::error_code error;
  for (const auto& item : fs::directory_iterator(fs::path(sample), error)) {
    if (item.is_directory(error)) folders.push_back(item.path());
  }
  std::sort(folders.begin(), folders.end());
  std::vector<vesk::ExhibitionEntry> entries;
  for (const fs::path& folder : folders) {
    vesk::ExhibitionEntry entry{fileEndingWith(folder, {L".nuv"}),
                                fileEndingWith(folder, {L"_thumb.jpg", L"_thumb.png"}),
                                fileEndingWith(folder, {L"_desc.png", L"_desc.jpg"}),
                                {}};
    if (!entry.scenePath.empty() && !entry.thumbnailPath.empty() &&
        !entry.descriptionPath.empty()) {
      entries.push_back(entry);
    }
  }
  return entries;
}

// What the check finds when a few entries are made wrong: an error and two warnings.
std::vector<vesk::ProblemLine> sampleProblems(std::vector<vesk::ExhibitionEntry> entries,
                                              const std::wstring& sample) {
  if (entries.size() < 6) return {};
  entries[1].thumbnailPath = entries[1].descriptionPath;  // a portrait thumbnail
  entries[3].scenePath = vesk::win::toUtf8(               // a scene renamed since
      (fs::path(vesk::win::toWide(entries[3].scenePath)).parent_path() / L"kidney-v2.nuv")
          .wstring());
  entries.push_back(entries[5]);  // the same scene twice
  vesk::CheckRequest request;
  request.entries = entries;
  request.destination =
      vesk::win::toUtf8((fs::path(sample).parent_path() / L"展示パッケージ").wstring());
  return vesk::problemLinesOf(vesk::checkPackage(request));
}

std::wstring g_sample;
bool g_problems = false;
bool g_replace = false;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const int seconds = count > 1 ? _wtoi(arguments[1]) : 8;
  g_sample = count > 2 ? arguments[2] : L".";
  const std::wstring mode = count > 3 ? arguments[3] : L"";
  LocalFree(arguments);
  g_problems = mode == L"problems";
  g_replace = mode == L"replace";
  return vesk::win::runApplication(instance, [seconds](vesk::win::MainDialog& dialog) {
    vesk::DialogController& controller = dialog.controller();
    for (const vesk::ExhibitionEntry& entry : sampleEntries(g_sample)) {
      controller.entryList().workingEntry() = entry;
      controller.onAdd();
    }
    // Show the second entry as an arrow key would select it.
    controller.onKeyDown(vesk::DialogKey::Up);
    dialog.selectLine(1);
    controller.onSelectionChanged();
    SetFocus(dialog.control(1004));
    if (g_problems || g_replace) {
      SetTimer(dialog.window(), 2, 500, [](HWND window, UINT, UINT_PTR id, DWORD) {
        KillTimer(window, id);
        if (g_replace) {
          vesk::win::MessageBoxSink(window).askYesNo(vesk::kReplaceQuestion,
                                                     vesk::DefaultAnswer::No);
          return;
        }
        vesk::win::showProblemWindow(GetModuleHandleW(nullptr), window,
                                     sampleProblems(sampleEntries(g_sample), g_sample), false);
      });
    }
    SetTimer(dialog.window(), 1, static_cast<UINT>(seconds) * 1000,
             [](HWND window, UINT, UINT_PTR id, DWORD) {
               KillTimer(window, id);
               // A window still open over the dialog is closed first: the problem
               // window by Cancel, the question by No.
               const HWND popup = GetLastActivePopup(window);
               if (popup != window) {
                 PostMessageW(popup, WM_COMMAND, IDCANCEL, 0);
                 PostMessageW(popup, WM_COMMAND, IDNO, 0);
               }
               PostMessageW(window, WM_CLOSE, 0, 0);
             });
  });
}
