#pragma once

#include <windows.h>

#include <string>

#include "messages/message_sink.h"

namespace vesk::win {

// The caption of every message box: the executable's file name without extension.
std::wstring applicationName();

// The box icon for a kind of message: the question icon for a question, the
// exclamation icon for every other message.
UINT iconFor(MessageKind kind);

// Shows messages with MessageBoxW, modal to the active window of the dialog's thread
// (the progress window during a create) or else to `owner`: OK and the exclamation
// icon for a message, Yes and No (the given one the default) and the question icon for
// a question. Used on the
// dialog's thread.
class MessageBoxSink : public MessageSink {
 public:
  explicit MessageBoxSink(HWND owner = nullptr) : owner_(owner) {}
  void setOwner(HWND owner) { owner_ = owner; }

  void showMessage(const Message& message) override;
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override;

 private:
  HWND ownerForBox() const;

  HWND owner_;
};

}  // namespace vesk::win
