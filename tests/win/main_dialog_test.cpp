#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>

#include <string>
#include <vector>

#include "resource.h"
#include "win_dialog_fixture.h"

namespace vesk::win::testing {
namespace {

using DialogTemplate = WinDialogTest;
using SystemMenu = WinDialogTest;
using EditingCommands = WinDialogTest;
using ListSelection = WinDialogTest;
using KeyFilter = WinDialogTest;

std::string classOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return toUtf8(name);
}

TEST_F(DialogTemplate, EveryControlHasItsClassTextAndPlaceInDialogUnits) {
  EXPECT_EQ(textOf(dialog->window()), " Vesk");
  struct Control {
    int id;
    const char* className;
    const char* text;
    RECT units;  // left, top, width, height
  };
  const Control controls[] = {
      {1001, "Edit", "", {44, 5, 274, 12}},           {1002, "Edit", "", {44, 18, 274, 12}},
      {1003, "Edit", "", {44, 32, 274, 12}},          {1004, "ListBox", "", {60, 46, 258, 109}},
      {1005, "Button", "削除", {6, 83, 36, 15}},      {1006, "Button", "追加", {6, 57, 36, 15}},
      {1007, "Button", "nuv 作成", {6, 140, 36, 15}}, {1008, "Edit", "", {12, 122, 23, 14}},
      {1010, "Button", "▲", {47, 46, 11, 37}},        {1011, "Button", "▼", {47, 118, 11, 37}},
  };
  for (const Control& c : controls) {
    const HWND w = control(c.id);
    ASSERT_NE(w, nullptr) << c.id;
    EXPECT_TRUE(IsWindowVisible(w)) << c.id;
    EXPECT_EQ(classOf(w), c.className) << c.id;
    EXPECT_EQ(textOf(w), c.text) << c.id;
    // The dialog manager converts the origin and the size, each rounded on its own.
    RECT origin{c.units.left, c.units.top, c.units.right, c.units.bottom};
    MapDialogRect(dialog->window(), &origin);
    RECT actual;
    GetWindowRect(w, &actual);
    MapWindowPoints(nullptr, dialog->window(), reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, origin.left) << c.id;
    EXPECT_EQ(actual.top, origin.top) << c.id;
    EXPECT_EQ(actual.right - actual.left, origin.right) << c.id;
    EXPECT_EQ(actual.bottom - actual.top, origin.bottom) << c.id;
  }
  RECT client;
  GetClientRect(dialog->window(), &client);
  RECT size{0, 0, 324, 171};
  MapDialogRect(dialog->window(), &size);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);
}

TEST_F(DialogTemplate, StylesFontAndTabOrderAreThoseOfTheTemplate) {
  const auto style = GetWindowLongW(dialog->window(), GWL_STYLE);
  const auto exStyle = GetWindowLongW(dialog->window(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(exStyle & WS_EX_ACCEPTFILES);
  EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
  for (int id : {1001, 1002, 1003}) {
    const auto edit = GetWindowLongW(control(id), GWL_STYLE);
    EXPECT_TRUE((edit & ES_READONLY) && (edit & ES_RIGHT) && (edit & ES_AUTOHSCROLL)) << id;
  }
  const auto countStyle = GetWindowLongW(control(1008), GWL_STYLE);
  EXPECT_TRUE((countStyle & ES_READONLY) && !(countStyle & (ES_RIGHT | ES_CENTER)));
  const auto listStyle = GetWindowLongW(control(1004), GWL_STYLE);
  EXPECT_TRUE((listStyle & LBS_NOTIFY) && (listStyle & LBS_NOINTEGRALHEIGHT) &&
              !(listStyle & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL)));

  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog->window(), WM_GETFONT, 0, 0)), sizeof font,
             &font);
  EXPECT_EQ(toUtf8(font.lfFaceName), "MS UI Gothic");

  std::vector<int> order;
  HWND at = control(1001);
  do {
    order.push_back(GetDlgCtrlID(at));
    at = GetNextDlgTabItem(dialog->window(), at, FALSE);
  } while (at != control(1001) && order.size() < 20);
  EXPECT_EQ(order, (std::vector<int>{1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1010, 1011}));
}

TEST_F(SystemMenu, EndsWithTheAboutItemWhichOpensTheAboutBox) {
  const HMENU menu = GetSystemMenu(dialog->window(), FALSE);
  const int items = GetMenuItemCount(menu);
  ASSERT_GE(items, 2);
  MENUITEMINFOW separator{};
  separator.cbSize = sizeof separator;
  separator.fMask = MIIM_FTYPE;
  GetMenuItemInfoW(menu, items - 2, TRUE, &separator);
  EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(menu, items - 1), 0x0010u);
  wchar_t text[64] = {};
  GetMenuStringW(menu, items - 1, text, 64, MF_BYPOSITION);
  EXPECT_EQ(toUtf8(text), "バージョン情報 Vesk(&A)...");

  std::string title, line, version;
  whenModal([&](HWND about) {
    title = textOf(about);
    const HWND second = GetWindow(GetDlgItem(about, IDOK), GW_HWNDPREV);
    line = textOf(second);
    version = textOf(GetWindow(second, GW_HWNDPREV));
    SendMessageW(about, WM_COMMAND, IDOK, 0);
  });
  SendMessageW(dialog->window(), WM_SYSCOMMAND, 0x0010, 0);
  EXPECT_EQ(title, "バージョン情報 Vesk");
  EXPECT_EQ(line, "展示用nuvファイル作成ツール");
  EXPECT_EQ(version, "Vesk, Version 1.0");
  EXPECT_TRUE(IsWindowVisible(dialog->window()));
}

TEST_F(EditingCommands, AddDeleteUpAndDownRedrawListSelectionFieldsAndCount) {
  EXPECT_EQ(count(), "");
  click(1006);  // nothing in the working entry
  EXPECT_EQ(sink.messages, std::vector<std::string>{"エラー　要素が足りません"});
  EXPECT_TRUE(lines().empty());

  add("a");
  add("b");
  add("c");
  EXPECT_EQ(lines(), (std::vector<std::string>{"C:\\s\\a.nuv", "C:\\s\\b.nuv", "C:\\s\\c.nuv"}));
  EXPECT_EQ(selectedRow(), 2);
  EXPECT_EQ(count(), "3");

  click(1010);  // Up: c moves to second place
  EXPECT_EQ(lines(), (std::vector<std::string>{"C:\\s\\a.nuv", "C:\\s\\c.nuv", "C:\\s\\b.nuv"}));
  EXPECT_EQ(selectedRow(), 1);
  EXPECT_EQ(fields(),
            (std::vector<std::string>{"C:\\s\\c.nuv", "C:\\s\\c_t.png", "C:\\s\\c_d.png"}));

  click(1005);  // Delete c
  EXPECT_EQ(lines(), (std::vector<std::string>{"C:\\s\\a.nuv", "C:\\s\\b.nuv"}));
  EXPECT_EQ(count(), "2");
  EXPECT_EQ(fields()[0], "C:\\s\\b.nuv");

  click(1011);  // Down on the last line changes nothing
  EXPECT_EQ(lines(), (std::vector<std::string>{"C:\\s\\a.nuv", "C:\\s\\b.nuv"}));
}

TEST_F(ListSelection, AnArrowKeyInTheListLoadsTheNewLine) {
  add("a");
  add("b");
  SendMessageW(control(1004), LB_SETCURSEL, 1, 0);
  SetFocus(control(1004));
  press(control(1004), VK_UP);
  EXPECT_EQ(selectedRow(), 0);
  EXPECT_EQ(fields()[0], "C:\\s\\a.nuv");
  EXPECT_FALSE(dialog->controller().arrowKeyPressed()) << "an accepted change clears the flag";
}

TEST_F(ListSelection, AClickIsJudgedByWhereTheCursorIs) {
  add("a");
  add("b");
  RECT line;
  SendMessageW(control(1004), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&line));
  POINT onLine{line.left + 10, line.top + 3};
  ClientToScreen(control(1004), &onLine);

  // Reported while the cursor is far from the line: the highlight moves, the fields stay.
  const std::vector<std::string> before = fields();
  SetCursorPos(0, 0);
  SendMessageW(control(1004), LB_SETCURSEL, 0, 0);
  SendMessageW(dialog->window(), WM_COMMAND, MAKEWPARAM(1004, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control(1004)));
  EXPECT_EQ(fields(), before);
  EXPECT_EQ(dialog->controller().entryList().currentIndex(), 0);

  // Over the line: taken. The mouse test leaves the frame uncompensated, so the
  // point lies well inside the line.
  SetCursorPos(onLine.x, onLine.y);
  POINT check;
  GetCursorPos(&check);
  if (check.x != onLine.x || check.y != onLine.y) GTEST_SKIP() << "the cursor cannot be moved";
  SendMessageW(dialog->window(), WM_COMMAND, MAKEWPARAM(1004, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control(1004)));
  EXPECT_EQ(fields()[0], "C:\\s\\a.nuv");
}

TEST_F(KeyFilter, EnterAndEscapeAreSwallowedAndArrowsRaiseTheFlag) {
  for (int id : {1001, 1004, 1006, 1007}) {
    for (WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
      MSG msg{control(id), WM_KEYDOWN, key, 1, 0, {}};
      EXPECT_TRUE(dialog->filterMessage(msg)) << id << " " << key;
    }
  }
  MSG home{control(1004), WM_KEYDOWN, VK_HOME, 1, 0, {}};
  EXPECT_FALSE(dialog->filterMessage(home));
  EXPECT_FALSE(dialog->controller().arrowKeyPressed());
  MSG right{control(1007), WM_KEYDOWN, VK_RIGHT, 1, 0, {}};
  EXPECT_FALSE(dialog->filterMessage(right));
  EXPECT_TRUE(dialog->controller().arrowKeyPressed());
  // Enter on the focused create button presses nothing (it would report the empty
  // list), and Escape keeps the dialog open.
  SetFocus(control(1007));
  press(control(1007), VK_RETURN);
  press(control(1007), VK_ESCAPE);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(IsWindow(dialog->window()));
}

}  // namespace
}  // namespace vesk::win::testing
