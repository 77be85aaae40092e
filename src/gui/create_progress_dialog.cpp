#include "create_progress_dialog.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QLocale>
#include <QVBoxLayout>

namespace vesk::gui {

namespace {

// Steps of the progress bar; byte counts exceed its int range.
constexpr int kBarSteps = 1000;

}  // namespace

CreateProgressDialog::CreateProgressDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      fileLabel_(new QLabel(this)),
      bar_(new QProgressBar(this)),
      countLabel_(new QLabel(this)),
      cancelButton_(new QPushButton(QStringLiteral("キャンセル"), this)) {
  setWindowTitle(QStringLiteral("nuv 作成"));
  setWindowModality(Qt::ApplicationModal);
  setMinimumWidth(520);

  fileLabel_->setText(QStringLiteral("準備しています…"));
  fileLabel_->setTextFormat(Qt::PlainText);
  fileLabel_->setFixedWidth(480);
  bar_->setRange(0, kBarSteps);
  bar_->setValue(0);
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

  connect(cancelButton_, &QPushButton::clicked, this, &CreateProgressDialog::requestCancel);
}

void CreateProgressDialog::showState(const CopyState& state) {
  if (state.started && !cancelRequested()) {
    const QString text = state.currentFile.isEmpty()
                             ? QStringLiteral("コピーしています…")
                             : QStringLiteral("コピー中: %1").arg(state.currentFile);
    // A long path loses its middle rather than widening the window.
    fileLabel_->setText(
        fileLabel_->fontMetrics().elidedText(text, Qt::ElideMiddle, fileLabel_->width()));
  }
  const QLocale locale;
  countLabel_->setText(QStringLiteral("%1 / %2　%3 / %4 ファイル")
                           .arg(locale.formattedDataSize(static_cast<qint64>(state.bytesDone)),
                                locale.formattedDataSize(static_cast<qint64>(state.totalBytes)))
                           .arg(state.filesDone)
                           .arg(state.totalFiles));
  const double share =
      state.totalBytes == 0
          ? (state.totalFiles == 0
                 ? 0.0
                 : static_cast<double>(state.filesDone) / static_cast<double>(state.totalFiles))
          : static_cast<double>(state.bytesDone) / static_cast<double>(state.totalBytes);
  bar_->setValue(static_cast<int>(std::min(1.0, share) * kBarSteps));
  emit stateShown();
}

void CreateProgressDialog::reject() {
  requestCancel();
}

void CreateProgressDialog::requestCancel() {
  if (cancelRequested_.exchange(true)) return;
  cancelButton_->setEnabled(false);
  fileLabel_->setText(QStringLiteral("中止しています…"));
}

}  // namespace vesk::gui
