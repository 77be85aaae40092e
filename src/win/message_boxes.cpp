#include "message_boxes.h"

#include "wide_text.h"

namespace vesk::win {

std::wstring applicationName() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"vesk";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.resize(dot);
  return name;
}

HWND MessageBoxSink::ownerForBox() const {
  // The active window of this thread: the progress window while a run shows it.
  if (const HWND active = GetActiveWindow(); active != nullptr) return active;
  // With another program in front there is none; the window the operator comes back
  // to is then the dialog's last active popup, which the box must be modal to (the
  // dialog itself is disabled while a run's progress window is up).
  if (owner_ != nullptr) {
    const HWND popup = GetLastActivePopup(owner_);
    if (popup != nullptr && IsWindowVisible(popup) && IsWindowEnabled(popup)) return popup;
  }
  return owner_;
}

UINT iconFor(MessageKind kind) {
  switch (messageIcon(kind)) {
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::Exclamation:
      break;
  }
  return MB_ICONEXCLAMATION;
}

void MessageBoxSink::showMessage(const Message& message) {
  MessageBoxW(ownerForBox(), toWide(message.text).c_str(), applicationName().c_str(),
              MB_OK | iconFor(message.kind));
}

bool MessageBoxSink::askYesNo(const std::string& text, DefaultAnswer defaultAnswer) {
  const UINT defaultButton = defaultAnswer == DefaultAnswer::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
  return MessageBoxW(ownerForBox(), toWide(text).c_str(), applicationName().c_str(),
                     MB_YESNO | defaultButton | iconFor(MessageKind::Question)) == IDYES;
}

}  // namespace vesk::win
