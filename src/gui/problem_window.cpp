#include "problem_window.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QStyle>
#include <QVBoxLayout>

#include "dialog_font.h"

#include "messages/messages.h"

namespace vesk::gui {

namespace {

// Rows the list shows without scrolling when the window opens, and the window's
// width in dialog units of its font.
constexpr int kVisibleRows = 10;
constexpr int kWindowWidth = 360;

QIcon iconOf(const QStyle* style, CheckSeverity severity) {
  return style->standardIcon(severity == CheckSeverity::Error ? QStyle::SP_MessageBoxCritical
                                                              : QStyle::SP_MessageBoxWarning);
}

}  // namespace

ProblemWindow::ProblemWindow(const std::vector<ProblemLine>& lines, bool canCreate, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      heading_(new QLabel(QString::fromUtf8(problemHeading(canCreate)), this)),
      list_(new QTreeWidget(this)),
      countLine_(new QLabel(QString::fromStdString(problemCountText(lines)), this)),
      abortButton_(new QPushButton(QString::fromUtf8(kProblemsAbortButton), this)) {
  setWindowTitle(QString::fromUtf8(kProblemsTitle));
  setModal(true);
  setSizeGripEnabled(true);
  // A window does not take its parent's font by itself: use the dialog's.
  if (parent != nullptr) setFont(parent->font());

  heading_->setTextFormat(Qt::PlainText);
  heading_->setWordWrap(true);
  countLine_->setTextFormat(Qt::PlainText);

  // Two columns: the severity (icon and word) and the problem's text.
  list_->setColumnCount(2);
  list_->setHeaderHidden(true);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setTextElideMode(Qt::ElideMiddle);
  list_->header()->setStretchLastSection(true);
  for (const ProblemLine& line : lines) {
    auto* item = new QTreeWidgetItem(list_);
    item->setIcon(0, iconOf(style(), line.severity));
    item->setText(0, QString::fromUtf8(severityWord(line.severity)));
    const QString text = QString::fromStdString(line.text);
    item->setText(1, text);
    // A text cut to the window's width is read whole in its tip.
    item->setToolTip(1, text);
  }
  list_->resizeColumnToContents(0);
  const DialogUnits du(font());
  const QFontMetrics metrics(font());
  const int rowHeight = std::max(metrics.height(), list_->iconSize().height()) + 4;
  list_->setMinimumSize(du.x(kWindowWidth / 2), rowHeight * 3);
  resize(du.x(kWindowWidth), rowHeight * kVisibleRows + metrics.height() * 6);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(countLine_, 1);
  if (canCreate) {
    createButton_ = new QPushButton(QString::fromUtf8(kProblemsCreateButton), this);
    createButton_->setAutoDefault(false);
    buttons->addWidget(createButton_);
    connect(createButton_, &QPushButton::clicked, this, &QDialog::accept);
  }
  buttons->addWidget(abortButton_);
  abortButton_->setDefault(true);
  connect(abortButton_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  abortButton_->setFocus();
}

}  // namespace vesk::gui
