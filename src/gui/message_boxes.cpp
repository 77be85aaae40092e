#include "message_boxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>

namespace vesk::gui {

QString applicationName() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QWidget* MessageBoxSink::parentForBox() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return owner_.data();
}

QMessageBox::Icon iconFor(MessageKind kind) {
  switch (messageIcon(kind)) {
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Exclamation:
      break;
  }
  return QMessageBox::Warning;
}

std::unique_ptr<QMessageBox> makeMessageBox(const Message& message, QWidget* parent,
                                            DefaultAnswer defaultAnswer) {
  const bool question = message.kind == MessageKind::Question;
  auto box = std::make_unique<QMessageBox>(
      iconFor(message.kind), applicationName(), QString::fromStdString(message.text),
      question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, parent);
  // Paths in messages are shown as they are, never as markup.
  box->setTextFormat(Qt::PlainText);
  if (question) {
    box->setDefaultButton(defaultAnswer == DefaultAnswer::No ? QMessageBox::No : QMessageBox::Yes);
  }
  return box;
}

void MessageBoxSink::showMessage(const Message& message) {
  makeMessageBox(message, parentForBox())->exec();
}

bool MessageBoxSink::askYesNo(const std::string& text, DefaultAnswer defaultAnswer) {
  return makeMessageBox({MessageKind::Question, text}, parentForBox(), defaultAnswer)->exec() ==
         QMessageBox::Yes;
}

}  // namespace vesk::gui
