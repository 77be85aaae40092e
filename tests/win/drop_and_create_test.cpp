#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "messages/report_texts.h"
#include "resource.h"
#include "win_dialog_fixture.h"

namespace vesk::win::testing {
namespace {

using Drops = WinDialogTest;
using Create = WinDialogTest;

// A drop handle as the shell posts it with WM_DROPFILES: DROPFILES followed by the
// wide paths, each ended by a NUL, and one more NUL.
HDROP makeDrop(const std::vector<std::string>& paths) {
  std::wstring list;
  for (const std::string& path : paths) list += toWide(path) + L'\0';
  list += L'\0';
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

void drop(HWND window, const std::vector<std::string>& paths) {
  SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop(paths)), 0);
}

TEST_F(Drops, SceneLandscapeAndPortraitFillTheirFieldsInOneDrop) {
  TempDir folder;
  const std::string scene = "C:\\展示\\場面.nuv";  // need not exist
  const std::string landscape = folder.picture("t.png", "landscape.png");
  const std::string portrait = folder.picture("d.jpg", "portrait.jpg");
  drop(dialog->window(), {scene, landscape, portrait, folder.file("notes.txt")});
  EXPECT_EQ(fields(), (std::vector<std::string>{scene, landscape, portrait}));
  EXPECT_EQ(dialog->controller().browseStartPath(), scene);
  EXPECT_TRUE(lines().empty()) << "a drop adds no entry";
}

TEST_F(Drops, AnEarlierPackageIsReadBackAfterYes) {
  TempDir folder;
  folder.write("pkg/exhibition.nuv", "");
  folder.write("pkg/00/a.nuv", "");
  folder.picture("pkg/00/t.png", "landscape.png");
  folder.picture("pkg/00/d.jpg", "portrait.jpg");
  const std::string package = folder.file("pkg") + "\\";
  sink.answers = {true};
  drop(dialog->window(), {package + "exhibition.nuv"});
  EXPECT_EQ(sink.questions.size(), 1u);
  EXPECT_EQ(lines(), std::vector<std::string>{package + "00\\a.nuv"});
  EXPECT_EQ(selectedRow(), 0);
  EXPECT_EQ(count(), "1");
  EXPECT_EQ(fields()[2], package + "00\\d.jpg");
  EXPECT_EQ(dialog->controller().browseStartPath(), package + "exhibition.nuv");
}

// A build that reports progress and a message from its worker thread, then waits
// for Cancel.
BuildReport buildUntilCancelled(const CreateRequest& request, MessageSink& sink,
                                BuildProgress* progress) {
  BuildReport report;
  if (request.destination.empty() || progress == nullptr) return report;
  progress->started(2048, 2);
  progress->fileStarted("C:\\s\\a.nuv");
  progress->advanced(1024, 1);
  sink.showMessage(warningMessage("worker message"));
  for (int i = 0; i < 500 && !progress->cancelRequested(); ++i) Sleep(10);
  report.status = progress->cancelRequested() ? BuildStatus::Stopped : BuildStatus::Written;
  return report;
}

TEST_F(Create, RunsOnAWorkerBehindAProgressWindowWhoseCancelStopsIt) {
  dialog.reset();
  open(buildUntilCancelled);
  add("a");
  chosenFolder = "C:\\out";
  HWND progressWindow = nullptr;
  bool ownerDisabled = false;
  dialog->buildRunner().onOpened = [&](HWND window) {
    progressWindow = window;
    ownerDisabled = !IsWindowEnabled(dialog->window());
    // The operator presses Cancel a moment later.
    SetTimer(window, 1, 300, [](HWND progress, UINT, UINT_PTR id, DWORD) {
      KillTimer(progress, id);
      SendMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(progress, IDCANCEL)));
    });
  };
  const DWORD dialogThread = GetCurrentThreadId();
  click(1007);

  ASSERT_NE(progressWindow, nullptr);
  EXPECT_TRUE(ownerDisabled) << "the progress window is modal";
  EXPECT_EQ(sink.messages, std::vector<std::string>{"worker message"});
  ASSERT_EQ(sink.threads.size(), 1u);
  EXPECT_EQ(sink.threads[0], dialogThread) << "messages are shown on the dialog's thread";
  EXPECT_FALSE(IsWindow(progressWindow));
  EXPECT_TRUE(IsWindowEnabled(dialog->window()));
  EXPECT_FALSE(dialog->controller().busy());
  EXPECT_EQ(chooserStarts, std::vector<std::string>{"c:\\"});
  ASSERT_EQ(checkThreads.size(), 1u);
  EXPECT_NE(checkThreads[0], dialogThread) << "the check runs off the dialog's thread";
}

// A message the job shows at once stays on top: the progress window, due meanwhile,
// opens only once the box is closed.
TEST_F(Create, TheProgressWindowNeverOpensOverAMessageBeingAnswered) {
  dialog.reset();
  open([](const CreateRequest& request, MessageSink& sink, BuildProgress*) {
    BuildReport report;
    if (request.destination.empty()) return report;
    sink.showMessage(errorMessage("worker message"));
    return report;
  });
  add("a");
  chosenFolder = "C:\\out";
  bool inBox = false;
  bool openedOverBox = false;
  dialog->buildRunner().onOpened = [&](HWND) { openedOverBox = openedOverBox || inBox; };
  sink.onMessage = [&](const std::string&) {
    // The operator reads the box for longer than the window's delay, its loop running.
    inBox = true;
    for (int waited = 0; waited < 3 * kProgressWindowDelayMs; waited += 10) {
      pumpMessages();
      Sleep(10);
    }
    inBox = false;
  };
  click(1007);
  EXPECT_FALSE(openedOverBox);
  EXPECT_EQ(sink.messages, std::vector<std::string>{"worker message"});
  EXPECT_FALSE(dialog->controller().busy());
}

// What the progress window showed when Cancel was pressed in it.
std::string progressItem;
std::string progressCounts;

TEST_F(Create, TheCheckShowsItsEntriesAndItsCancelEndsTheCreate) {
  bool built = false;
  dialog.reset();
  open([&](const CreateRequest&, MessageSink&, BuildProgress*) {
    built = true;
    return BuildReport{};
  });
  add("a");
  add("b");
  chosenFolder = "C:\\out";
  onCheck = [](const CheckRequest& request) {
    request.progress->started(0, 2);
    request.progress->fileStarted("C:\\s\\a.nuv");
    for (int i = 0; i < 3000 && !request.progress->cancelRequested(); ++i) Sleep(10);
  };
  progressItem.clear();
  dialog->buildRunner().onOpened = [](HWND window) {
    SetTimer(window, 1, 300, [](HWND progress, UINT, UINT_PTR id, DWORD) {
      KillTimer(progress, id);
      progressItem = textOf(GetDlgItem(progress, IDC_PROGRESS_FILE));
      progressCounts = textOf(GetDlgItem(progress, IDC_PROGRESS_COUNT));
      SendMessageW(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(progress, IDCANCEL)));
    });
  };
  click(1007);
  EXPECT_EQ(progressItem, "確認中: C:\\s\\a.nuv");
  EXPECT_EQ(progressCounts, "0 / 2 項目");
  EXPECT_FALSE(built);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(IsWindowEnabled(dialog->window()));
  EXPECT_FALSE(dialog->controller().busy());
}

TEST_F(Create, TheRealBuildWritesThePackageFromTheProgramFolder) {
  TempDir folder;
  addRealEntryAndChooseOut(folder);
  HWND progressWindow = nullptr;
  dialog->buildRunner().onOpened = [&](HWND window) { progressWindow = window; };
  bool progressGone = false;
  sink.onMessage = [&](const std::string&) {
    progressGone = !IsWindow(progressWindow) && IsWindowEnabled(dialog->window());
  };
  click(1007);
  EXPECT_TRUE(progressGone) << "the success box comes once the progress window has closed";
  // The success text, then the summary on its own line.
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].substr(0, sink.messages[0].find('\n')),
            "展示用nuvファイルを作成しました");
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(chosenFolder) / "exhibition.nuv"));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(chosenFolder) / "up.jpg"));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(chosenFolder) / "00" / "a.nuv"));
}

TEST_F(Create, OpenReportWritesThePageIntoThePackageJustCreatedAndOpensIt) {
  const auto openReport = [&] {
    SendMessageW(dialog->window(), WM_COMMAND, MAKEWPARAM(IDM_OPEN_REPORT, 0), 0);
  };
  openReport();
  EXPECT_EQ(sink.messages, std::vector<std::string>{kReportNoPackageMessage});
  EXPECT_TRUE(openedFiles.empty());

  TempDir folder;
  addRealEntryAndChooseOut(folder);
  click(1007);
  sink.messages.clear();
  openReport();
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(openedFiles, std::vector<std::string>{folder.file("out/vesk-report.html")});
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(chosenFolder) / "vesk-report.html"));
}

}  // namespace
}  // namespace vesk::win::testing
