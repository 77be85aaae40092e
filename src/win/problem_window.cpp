#include "problem_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "messages/messages.h"
#include "resource.h"
#include "wide_text.h"

namespace vesk::win {

namespace {

// What the window shows, handed to its dialog procedure.
struct ProblemWindowState {
  const std::vector<ProblemLine>* lines = nullptr;
  bool canCreate = false;
  SIZE minimumSize{};  // the template's window size: it is never made smaller
  SIZE clientSize{};   // the client size the controls were last laid out for
  int textWidth = 0;   // the widest problem text, in pixels
};

void fillList(HWND list, const std::vector<ProblemLine>& lines, ProblemWindowState& state) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  HIMAGELIST images = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                       ILC_COLOR32 | ILC_MASK, 2, 0);
  ImageList_AddIcon(images, LoadIconW(nullptr, IDI_ERROR));
  ImageList_AddIcon(images, LoadIconW(nullptr, IDI_WARNING));
  // Without LVS_SHAREIMAGELISTS the list view destroys the image list with itself.
  ListView_SetImageList(list, images, LVSIL_SMALL);

  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  ListView_InsertColumn(list, 0, &column);  // the severity: icon and word
  ListView_InsertColumn(list, 1, &column);  // the problem's text

  int row = 0;
  for (const ProblemLine& line : lines) {
    std::wstring word = toWide(severityWord(line.severity));
    std::wstring text = toWide(line.text);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.iImage = line.severity == CheckSeverity::Error ? 0 : 1;
    item.pszText = word.data();
    ListView_InsertItem(list, &item);
    ListView_SetItemText(list, row, 1, text.data());
    ++row;
  }
  ListView_SetColumnWidth(list, 0, LVSCW_AUTOSIZE);
  ListView_SetColumnWidth(list, 1, LVSCW_AUTOSIZE);
  state.textWidth = ListView_GetColumnWidth(list, 1);
}

// The text column fills what the severity column leaves of the list's width, or is
// as wide as its widest text, which the list then scrolls to.
void fitTextColumn(HWND list, const ProblemWindowState& state) {
  RECT client{};
  GetClientRect(list, &client);
  const int rest = client.right - ListView_GetColumnWidth(list, 0);
  ListView_SetColumnWidth(list, 1, std::max(rest, state.textWidth));
}

// Moves and sizes a control by the change of the window's client size.
void shift(HWND window, int id, int dx, int dy, int dw, int dh) {
  HWND control = GetDlgItem(window, id);
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
  MoveWindow(control, r.left + dx, r.top + dy, r.right - r.left + dw, r.bottom - r.top + dh, TRUE);
}

void relayout(HWND window, ProblemWindowState& state, int width, int height) {
  const int dw = width - state.clientSize.cx;
  const int dh = height - state.clientSize.cy;
  if (dw == 0 && dh == 0) return;
  state.clientSize = {width, height};
  shift(window, IDC_PROBLEM_HEADING, 0, 0, dw, 0);
  shift(window, IDC_PROBLEM_LIST, 0, 0, dw, dh);
  shift(window, IDC_PROBLEM_COUNT, 0, dh, dw, 0);
  shift(window, IDOK, dw, dh, 0, 0);
  shift(window, IDCANCEL, dw, dh, 0, 0);
  fitTextColumn(GetDlgItem(window, IDC_PROBLEM_LIST), state);
  InvalidateRect(window, nullptr, TRUE);
}

// Widens the window, centred again, until the longest line fits where the screen
// allows (at most nine tenths of its width); the list scrolls to what does not fit.
void widenForLongLines(HWND window, const ProblemWindowState& state) {
  const HWND list = GetDlgItem(window, IDC_PROBLEM_LIST);
  RECT listClient{};
  GetClientRect(list, &listClient);
  const int wanted =
      ListView_GetColumnWidth(list, 0) + state.textWidth + GetSystemMetrics(SM_CXVSCROLL);
  if (wanted <= listClient.right) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = std::min<int>(frame.right - frame.left + wanted - listClient.right,
                                  (work.right - work.left) * 9 / 10);
  if (width <= frame.right - frame.left) return;
  const int left = work.left + (work.right - work.left - width) / 2;
  SetWindowPos(window, nullptr, left, frame.top, width, frame.bottom - frame.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void initialise(HWND window, ProblemWindowState& state) {
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  const std::vector<ProblemLine>& lines = *state.lines;
  SetDlgItemTextW(window, IDC_PROBLEM_HEADING, toWide(problemHeading(state.canCreate)).c_str());
  SetDlgItemTextW(window, IDC_PROBLEM_COUNT, toWide(problemCountText(lines)).c_str());
  SetDlgItemTextW(window, IDOK, toWide(kProblemsCreateButton).c_str());
  SetDlgItemTextW(window, IDCANCEL, toWide(kProblemsAbortButton).c_str());
  SetWindowTextW(window, toWide(kProblemsTitle).c_str());
  if (!state.canCreate) {
    ShowWindow(GetDlgItem(window, IDOK), SW_HIDE);
    EnableWindow(GetDlgItem(window, IDOK), FALSE);
  }
  fillList(GetDlgItem(window, IDC_PROBLEM_LIST), lines, state);
  fitTextColumn(GetDlgItem(window, IDC_PROBLEM_LIST), state);

  RECT frame{};
  GetWindowRect(window, &frame);
  state.minimumSize = {frame.right - frame.left, frame.bottom - frame.top};
  RECT client{};
  GetClientRect(window, &client);
  state.clientSize = {client.right, client.bottom};
  widenForLongLines(window, state);
}

INT_PTR CALLBACK problemProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<ProblemWindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      initialise(window, *reinterpret_cast<ProblemWindowState*>(lParam));
      // 中止, the default button, takes the focus.
      SetFocus(GetDlgItem(window, IDCANCEL));
      return FALSE;
    case WM_GETMINMAXINFO:
      if (state != nullptr && state->minimumSize.cx > 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {state->minimumSize.cx, state->minimumSize.cy};
        return TRUE;
      }
      break;
    case WM_SIZE:
      if (state != nullptr && state->clientSize.cx > 0 && wParam != SIZE_MINIMIZED) {
        relayout(window, *state, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
      }
      break;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          // Only offered without errors; a stray IDOK then answers nothing.
          if (state != nullptr && state->canCreate) EndDialog(window, IDOK);
          return TRUE;
        case IDCANCEL:
          EndDialog(window, IDCANCEL);
          return TRUE;
        default:
          break;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

bool showProblemWindow(HINSTANCE instance, HWND owner, const std::vector<ProblemLine>& lines,
                       bool canCreate) {
  ProblemWindowState state;
  state.lines = &lines;
  state.canCreate = canCreate;
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PROBLEMS), owner,
                                         problemProc, reinterpret_cast<LPARAM>(&state));
  return result == IDOK && canCreate;
}

}  // namespace vesk::win
