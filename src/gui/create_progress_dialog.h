#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <atomic>
#include <cstdint>

namespace vesk::gui {

// What a create has copied so far.
struct CopyState {
  bool started = false;
  std::uint64_t totalBytes = 0;
  std::uint64_t totalFiles = 0;
  std::uint64_t bytesDone = 0;
  std::uint64_t filesDone = 0;
  QString currentFile;
};

// The modal window shown while a create runs: bytes and files copied, the file
// being copied, and a Cancel button. Cancel (also Escape and the close box) only
// raises the cancel flag; the window stays until the create has stopped.
class CreateProgressDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CreateProgressDialog(QWidget* parent);

  void showState(const CopyState& state);
  bool cancelRequested() const { return cancelRequested_.load(); }

  QPushButton* cancelButton() const { return cancelButton_; }
  QLabel* fileLabel() const { return fileLabel_; }
  QLabel* countLabel() const { return countLabel_; }
  QProgressBar* bar() const { return bar_; }

  void reject() override;

 signals:
  // After every change of the shown state.
  void stateShown();

 private:
  void requestCancel();

  QLabel* fileLabel_;
  QProgressBar* bar_;
  QLabel* countLabel_;
  QPushButton* cancelButton_;
  std::atomic<bool> cancelRequested_{false};
};

}  // namespace vesk::gui
