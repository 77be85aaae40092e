#include "create_progress_dialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "messages/dialog_texts.h"

namespace vesk::gui {

namespace {

// Steps of the progress bar; byte counts exceed its int range.
constexpr int kBarSteps = 1000;

}  // namespace

CreateProgressDialog::CreateProgressDialog(QWidget* parent, ProgressStage stage)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      fileLabel_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      countLabel_(new QLabel(this)),
      cancelButton_(new QPushButton(QString::fromUtf8(kProgressCancelButton), this)) {
  setWindowTitle(QString::fromUtf8(kProgressTitle));
  setWindowModality(Qt::ApplicationModal);
  setMinimumWidth(520);

  fileLabel_->setTextFormat(Qt::PlainText);
  fileLabel_->setFixedWidth(480);
  bar_->setRange(0, kBarSteps);
  countLabel_->setTextFormat(Qt::PlainText);
  cancelButton_->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fileLabel_);
  layout->addWidget(bar_);
  layout->addWidget(countLabel_);
  layout->addLayout(buttons);

  connect(cancelButton_, &QPushButton::clicked, this, &CreateProgressDialog::cancelPressed);
  ProgressState initial;
  initial.stage = stage;
  showState(initial);
}

void CreateProgressDialog::showState(const ProgressState& state) {
  // A long path loses its middle rather than widening the window.
  fileLabel_->setText(fileLabel_->fontMetrics().elidedText(
      QString::fromStdString(progressItemText(state)), Qt::ElideMiddle, fileLabel_->width()));
  countLabel_->setText(QString::fromStdString(progressCountsText(state)));
  bar_->setValue(progressBarPosition(state, kBarSteps));
  cancelButton_->setEnabled(!state.cancelling);
  emit stateShown();
}

void CreateProgressDialog::reject() {
  emit cancelPressed();
}

}  // namespace vesk::gui
