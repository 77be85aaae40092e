#include "message_boxes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QThread>

namespace vesk::gui {

QString applicationName() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QWidget* MessageBoxSink::parentForBox() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return owner_.data();
}

void MessageBoxSink::showMessage(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, applicationName(), QString::fromStdString(text),
                  QMessageBox::Ok, parentForBox());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool MessageBoxSink::askYesNo(const std::string& text) {
  QMessageBox box(QMessageBox::Question, applicationName(), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, parentForBox());
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
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
