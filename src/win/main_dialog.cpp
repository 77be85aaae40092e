#include "main_dialog.h"

#include <windowsx.h>

#include <clocale>
#include <utility>

#include "about_box.h"
#include "dropped_files.h"
#include "folder_chooser.h"
#include "messages/report_texts.h"
#include "problem_window.h"
#include "resource.h"
#include "wide_text.h"

namespace vesk::win {

DialogKey dialogKeyOf(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_RETURN:
      return DialogKey::Enter;
    case VK_ESCAPE:
      return DialogKey::Escape;
    case VK_LEFT:
      return DialogKey::Left;
    case VK_UP:
      return DialogKey::Up;
    case VK_RIGHT:
      return DialogKey::Right;
    case VK_DOWN:
      return DialogKey::Down;
    default:
      return DialogKey::Other;
  }
}

MainDialog::MainDialog(HINSTANCE instance, DialogServices services)
    : instance_(instance),
      boxSink_(services.sink == nullptr ? std::make_unique<MessageBoxSink>() : nullptr),
      sink_(services.sink != nullptr ? *services.sink : *boxSink_),
      runner_(instance, sink_),
      controller_(*this, sink_,
                  services.chooseDestination ? std::move(services.chooseDestination)
                                             : ChooseDestination([this](const std::string& start) {
                                                 return chooseDestinationFolder(window_, start);
                                               }),
                  services.build ? std::move(services.build) : BuildFunction(createPackage),
                  std::move(services.check)),
      openFile_(std::move(services.openFile)) {
  // Loaded with the dialog object, as the painting and the drag icon need it.
  icon_ =
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
}

MainDialog::~MainDialog() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (icon_ != nullptr) DestroyIcon(icon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

bool MainDialog::create() {
  window_ = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_VESK_DIALOG), nullptr, dialogProc,
                               reinterpret_cast<LPARAM>(this));
  return window_ != nullptr;
}

void MainDialog::runModal() {
  running_ = true;
  ShowWindow(window_, SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (filterMessage(msg)) continue;
    if (window_ != nullptr && IsDialogMessageW(window_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  running_ = false;
}

bool MainDialog::filterMessage(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || window_ == nullptr) return false;
  if (msg.hwnd != window_ && !IsChild(window_, msg.hwnd)) return false;
  return controller_.onKeyDown(dialogKeyOf(msg.wParam));
}

INT_PTR CALLBACK MainDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<MainDialog*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    dialog->window_ = window;
    dialog->initialise();
    return TRUE;  // the first control takes the focus
  }
  auto* dialog = reinterpret_cast<MainDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return dialog != nullptr ? dialog->handle(message, wParam, lParam) : FALSE;
}

void MainDialog::initialise() {
  addAboutToSystemMenu();
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  if (boxSink_ != nullptr) boxSink_->setOwner(window_);
  runner_.setOwner(window_);
  controller_.setBuildRunner(&runner_);
  controller_.initialise();
  _wsetlocale(LC_ALL, L"");
}

void MainDialog::addAboutToSystemMenu() {
  wchar_t text[128] = {};
  const int length = LoadStringW(instance_, IDS_ABOUTBOX, text, static_cast<int>(std::size(text)));
  const HMENU menu = GetSystemMenu(window_, FALSE);
  if (menu == nullptr || length <= 0) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_ABOUTBOX, text);
}

INT_PTR MainDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
        showAboutBox(instance_, window_);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      return paintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_CONTEXTMENU:
      showContextMenu(lParam);
      return TRUE;
    case WM_DROPFILES:
      onDropFiles(reinterpret_cast<HDROP>(wParam));
      return TRUE;
    case WM_CLOSE:
      // A create runs to its end first: its progress window offers Cancel.
      if (!controller_.busy()) DestroyWindow(window_);
      return TRUE;
    case WM_DESTROY:
      window_ = nullptr;
      if (running_) PostQuitMessage(0);
      return TRUE;
  }
  (void)lParam;
  return FALSE;
}

void MainDialog::onCommand(int id, int code) {
  if (id == IDC_ENTRY_LIST) {
    if (code == LBN_SELCHANGE) controller_.onSelectionChanged();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_ADD:
      controller_.onAdd();
      break;
    case IDC_DELETE:
      controller_.onDelete();
      break;
    case IDC_UP:
      controller_.onUp();
      break;
    case IDC_DOWN:
      controller_.onDown();
      break;
    case IDC_CREATE:
      controller_.onCreate();
      break;
    case IDM_OPEN_REPORT:
      controller_.onOpenReport();
      break;
    default:
      break;  // IDOK and IDCANCEL: the dialog has no such buttons
  }
}

bool MainDialog::paintMinimised() {
  if (!IsIconic(window_)) return false;
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  SendMessageW(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(window_, &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, icon_);
  EndPaint(window_, &paint);
  return true;
}

void MainDialog::showContextMenu(LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam == -1) GetCursorPos(&at);
  const HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return;
  AppendMenuW(menu, MF_STRING, IDM_OPEN_REPORT, toWide(kOpenReportMenuText).c_str());
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  DestroyMenu(menu);
}

bool MainDialog::openFile(const std::string& path) {
  if (openFile_) return openFile_(path);
  const HINSTANCE result =
      ShellExecuteW(window_, L"open", toWide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

void MainDialog::onDropFiles(HDROP drop) {
  const std::vector<std::string> paths = droppedPaths(drop);
  DragFinish(drop);
  controller_.onFilesDropped(paths);
}

void MainDialog::setListLines(const std::vector<std::string>& lines) {
  const HWND list = control(IDC_ENTRY_LIST);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : lines) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(line).c_str()));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void MainDialog::selectLine(int index) {
  const HWND list = control(IDC_ENTRY_LIST);
  const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  SendMessageW(list, LB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

int MainDialog::selectedLine() const {
  const auto selected = static_cast<int>(SendMessageW(control(IDC_ENTRY_LIST), LB_GETCURSEL, 0, 0));
  return selected == LB_ERR ? -1 : selected;
}

void MainDialog::setCountText(const std::string& text) {
  SetDlgItemTextW(window_, IDC_ENTRY_COUNT, toWide(text).c_str());
}

void MainDialog::setPathFields(const std::string& scenePath, const std::string& thumbnailPath,
                               const std::string& descriptionPath) {
  SetDlgItemTextW(window_, IDC_SCENE_PATH, toWide(scenePath).c_str());
  SetDlgItemTextW(window_, IDC_DESCRIPTION_PATH, toWide(descriptionPath).c_str());
  SetDlgItemTextW(window_, IDC_THUMBNAIL_PATH, toWide(thumbnailPath).c_str());
}

ViewRect MainDialog::listBoxRect() const {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(control(IDC_ENTRY_LIST), &placement)) return {};
  const RECT& r = placement.rcNormalPosition;
  return {r.left, r.top, r.right, r.bottom};
}

ViewPoint MainDialog::cursorPosition() const {
  POINT point{};
  GetCursorPos(&point);
  ScreenToClient(window_, &point);
  return {point.x, point.y};
}

ViewRect MainDialog::lineRect(int index) const {
  RECT r{};
  if (SendMessageW(control(IDC_ENTRY_LIST), LB_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&r)) == LB_ERR) {
    return {};
  }
  return {r.left, r.top, r.right, r.bottom};
}

bool MainDialog::showProblems(const std::vector<ProblemLine>& lines, bool canCreate) {
  return showProblemWindow(instance_, window_, lines, canCreate);
}

}  // namespace vesk::win
