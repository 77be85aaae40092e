#include "message_boxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

namespace vesk::gui {

QString applicationName() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QWidget* MessageBoxSink::parentForBox() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return owner_.data();
}

std::unique_ptr<QMessageBox> makeMessageBox(const std::string& text, bool question,
                                            QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(
      question ? QMessageBox::Question : QMessageBox::Warning, applicationName(),
      QString::fromStdString(text), question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
      parent);
  // Paths in messages are shown as they are, never as markup.
  box->setTextFormat(Qt::PlainText);
  if (question) box->setDefaultButton(QMessageBox::Yes);
  return box;
}

void MessageBoxSink::showMessage(const std::string& text) {
  makeMessageBox(text, false, parentForBox())->exec();
}

bool MessageBoxSink::askYesNo(const std::string& text) {
  return makeMessageBox(text, true, parentForBox())->exec() == QMessageBox::Yes;
}

void GuiThreadSink::showMessage(const std::string& text) {
  if (QThread::currentThread() == context_.thread()) {
    target_.showMessage(text);
    return;
  }
  QMetaObject::invokeMethod(
      &context_, [this, &text] { target_.showMessage(text); }, Qt::BlockingQueuedConnection);
}

bool GuiThreadSink::askYesNo(const std::string& text) {
  if (QThread::currentThread() == context_.thread()) return target_.askYesNo(text);
  bool answer = false;
  QMetaObject::invokeMethod(
      &context_, [this, &text, &answer] { answer = target_.askYesNo(text); },
      Qt::BlockingQueuedConnection);
  return answer;
}

}  // namespace vesk::gui
