#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "messages/message_sink.h"

namespace vesk::gui {

// The caption of every message box: the executable's file name without extension.
QString applicationName();

// The icon of a message box by the message's kind: the question icon for a
// question, the exclamation (warning) icon for every other kind.
QMessageBox::Icon iconFor(MessageKind kind);

// The box for a message (OK) or a question (Yes and No, `defaultAnswer` the default
// button), its icon chosen by the kind, captioned with the application name.
std::unique_ptr<QMessageBox> makeMessageBox(const Message& message, QWidget* parent,
                                            DefaultAnswer defaultAnswer = DefaultAnswer::Yes);

// Shows messages as modal message boxes over the topmost modal window, or over
// `owner` when none is open: an OK box with the warning icon for a message, a box
// with the question icon and Yes and No for a question. Used on the GUI thread.
class MessageBoxSink : public MessageSink {
 public:
  explicit MessageBoxSink(QWidget* owner) : owner_(owner) {}

  void showMessage(const Message& message) override;
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override;

 private:
  QWidget* parentForBox() const;

  QPointer<QWidget> owner_;
};

}  // namespace vesk::gui
