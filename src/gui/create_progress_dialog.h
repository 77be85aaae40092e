#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "editor/progress_model.h"

namespace vesk::gui {

// The modal window shown while the check before a create, or the create, runs: the
// item being worked on, a bar, the counts and a Cancel button, all drawn from the
// core's ProgressState. Cancel (also Escape and the close box) only reports the
// press; the window stays until the work has stopped.
class CreateProgressDialog : public QDialog {
  Q_OBJECT

 public:
  CreateProgressDialog(QWidget* parent, ProgressStage stage);

  void showState(const ProgressState& state);

  QPushButton* cancelButton() const { return cancelButton_; }
  QLabel* fileLabel() const { return fileLabel_; }
  QLabel* countLabel() const { return countLabel_; }
  QProgressBar* bar() const { return bar_; }

  void reject() override;

 signals:
  // Cancel, Escape or the close box.
  void cancelPressed();
  // After every change of the shown state.
  void stateShown();

 private:
  QLabel* fileLabel_;
  QProgressBar* bar_;
  QLabel* countLabel_;
  QPushButton* cancelButton_;
};

}  // namespace vesk::gui
