#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include "messages/messages.h"
#include "resource.h"
#include "win_dialog_fixture.h"

namespace vesk::win::testing {
namespace {

using ProblemWindowFromDialog = WinDialogTest;

// Runs `action` once the problem window is open and shown, looking for it by its title
// every 50 ms (the active window may still be the main dialog when the first timer
// fires, and a modal dialog is created hidden and shown only once its queue is empty:
// a press before that could not be told from one it ignored); gives up after about a
// minute.
void whenProblemWindowOpen(std::function<void(HWND)> action) {
  static std::function<void(HWND)> pending;
  static int triesLeft = 0;
  pending = std::move(action);
  triesLeft = 1200;
  SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND window = FindWindowW(L"#32770", toWide(kProblemsTitle).c_str());
    if (window != nullptr && IsWindowVisible(window) == FALSE) window = nullptr;
    if (window == nullptr && --triesLeft > 0) return;
    KillTimer(nullptr, id);
    auto run = std::move(pending);
    if (run && window != nullptr) run(window);
  });
}

CheckProblem problem(CheckSeverity severity, const std::string& text) {
  CheckProblem p;
  p.severity = severity;
  p.text = text;
  return p;
}

std::string itemText(HWND list, int row, int column) {
  wchar_t buffer[512] = {};
  ListView_GetItemText(list, row, column, buffer, static_cast<int>(std::size(buffer)));
  return toUtf8(buffer);
}

// What the operator saw in the problem window.
struct Seen {
  std::string title;
  std::string heading;
  std::vector<std::string> words;
  std::vector<std::string> texts;
  std::vector<int> images;
  std::string count;
  bool createShown = false;
  std::string abortText;
  int defaultId = 0;
  bool stayedAfterStrayOk = false;
};

Seen look(HWND window) {
  Seen seen;
  seen.title = textOf(window);
  seen.heading = textOf(GetDlgItem(window, IDC_PROBLEM_HEADING));
  const HWND list = GetDlgItem(window, IDC_PROBLEM_LIST);
  for (int row = 0; row < ListView_GetItemCount(list); ++row) {
    seen.words.push_back(itemText(list, row, 0));
    seen.texts.push_back(itemText(list, row, 1));
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(list, &item);
    seen.images.push_back(item.iImage);
  }
  seen.count = textOf(GetDlgItem(window, IDC_PROBLEM_COUNT));
  // The style bit, not IsWindowVisible: the window itself may not be shown yet.
  const HWND create = GetDlgItem(window, IDOK);
  seen.createShown =
      (GetWindowLongW(create, GWL_STYLE) & WS_VISIBLE) != 0 && IsWindowEnabled(create) != FALSE;
  seen.abortText = textOf(GetDlgItem(window, IDCANCEL));
  seen.defaultId = LOWORD(SendMessageW(window, DM_GETDEFID, 0, 0));
  return seen;
}

TEST_F(ProblemWindowFromDialog, ListsTheProblemsAndOffersCreateOnlyWithoutErrors) {
  const CheckProblem error = problem(CheckSeverity::Error, "00 nuvファイルが見つかりません");
  const CheckProblem warning = problem(CheckSeverity::Warning, "01 サムネイルが縦長です");
  struct Case {
    const char* name;
    std::vector<CheckProblem> problems;
    int press;  // IDOK for 作成, IDCANCEL for 中止
    std::vector<std::string> words;
    std::vector<int> images;  // 0 the error icon, 1 the warning icon
    const char* count;
    bool createShown;
    bool built;
  };
  const Case cases[] = {
      {"warnings, 作成",
       {warning, warning},
       IDOK,
       {"警告", "警告"},
       {1, 1},
       "警告 2 件",
       true,
       true},
      {"warnings, 中止", {warning}, IDCANCEL, {"警告"}, {1}, "警告 1 件", true, false},
      {"errors, a stray 作成 then 中止",
       {warning, error},
       IDOK,
       {"エラー", "警告"},
       {0, 1},
       "エラー 1 件、警告 1 件",
       false,
       false},
  };
  for (const Case& c : cases) {
    bool built = false;
    std::size_t builtWarnings = 0;
    open([&](const CreateRequest& request, MessageSink&, BuildProgress*) {
      built = true;
      builtWarnings = request.warningCount;
      return BuildReport{};
    });
    add("a");
    chosenFolder = "C:\\out";
    problems = c.problems;
    Seen seen;
    bool shown = false;
    whenProblemWindowOpen([&](HWND window) {
      shown = true;
      seen = look(window);
      SendMessageW(window, WM_COMMAND, c.press, 0);
      // EndDialog hides the window; one still shown ignored the press.
      if ((GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0) {
        seen.stayedAfterStrayOk = c.press == IDOK;
        SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
      }
    });
    click(1007);

    ASSERT_TRUE(shown) << c.name;
    EXPECT_EQ(seen.title, kProblemsTitle) << c.name;
    EXPECT_EQ(seen.heading, problemHeading(c.createShown)) << c.name;
    EXPECT_EQ(seen.words, c.words) << c.name;
    EXPECT_EQ(seen.images, c.images) << c.name;
    EXPECT_EQ(seen.texts.size(), c.problems.size()) << c.name;
    EXPECT_EQ(seen.count, c.count) << c.name;
    EXPECT_EQ(seen.createShown, c.createShown) << c.name;
    EXPECT_EQ(seen.abortText, kProblemsAbortButton) << c.name;
    EXPECT_EQ(seen.defaultId, IDCANCEL) << c.name;
    EXPECT_EQ(seen.stayedAfterStrayOk, !c.createShown) << c.name;
    EXPECT_EQ(built, c.built) << c.name;
    EXPECT_EQ(builtWarnings, c.built ? c.problems.size() : 0u) << c.name;
    EXPECT_FALSE(dialog->controller().busy()) << c.name;
  }
}

}  // namespace
}  // namespace vesk::win::testing
