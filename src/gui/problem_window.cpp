#include "problem_window.h"

#include <algorithm>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "dialog_font.h"

#include "messages/messages.h"

namespace vesk::gui {

namespace {

// Rows the list shows without scrolling when the window opens, and the window's
// width in dialog units of its font (it widens for long lines, within the screen).
constexpr int kVisibleRows = 10;
constexpr int kWindowWidth = 360;
// The share of the screen's width the window may take to show long lines unbroken.
constexpr double kMaxScreenShare = 0.9;

// Measures a row with the width its column has now, so that a long text is wrapped
// at that width; the view alone measures it as one unbroken line.
class WrappingDelegate : public QStyledItemDelegate {
 public:
  explicit WrappingDelegate(QTreeView* view) : QStyledItemDelegate(view), view_(view) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem sized = option;
    sized.rect = QRect(0, 0, view_->header()->sectionSize(index.column()), 1);
    return QStyledItemDelegate::sizeHint(sized, index);
  }

 private:
  QTreeView* view_;
};

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
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  // A line longer than the window wraps onto more lines, never cut short.
  list_->setWordWrap(true);
  list_->setItemDelegate(new WrappingDelegate(list_));
  list_->setTextElideMode(Qt::ElideNone);
  list_->header()->setStretchLastSection(true);
  // Rows take their height again whenever the text column's width changes.
  connect(list_->header(), &QHeaderView::sectionResized, list_, [this] { list_->doItemsLayout(); });
  for (const ProblemLine& line : lines) {
    auto* item = new QTreeWidgetItem(list_);
    item->setIcon(0, iconOf(style(), line.severity));
    item->setText(0, QString::fromUtf8(severityWord(line.severity)));
    const QString text = QString::fromStdString(line.text);
    item->setText(1, text);
    item->setToolTip(1, text);
  }
  list_->resizeColumnToContents(0);
  const DialogUnits du(font());
  const QFontMetrics metrics(font());
  const int rowHeight = std::max(metrics.height(), list_->iconSize().height()) + 4;
  list_->setMinimumSize(du.x(kWindowWidth / 2), rowHeight * 3);
  // Wide enough for the longest line where the screen allows; longer lines wrap.
  int longest = 0;
  for (const ProblemLine& line : lines) {
    longest = std::max(longest, metrics.horizontalAdvance(QString::fromStdString(line.text)));
  }
  const int chrome = list_->columnWidth(0) + du.x(30);
  int width = std::max(du.x(kWindowWidth), longest + chrome);
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    width =
        std::min(width, static_cast<int>(screen->availableGeometry().width() * kMaxScreenShare));
  }
  resize(std::max(width, du.x(kWindowWidth / 2)), rowHeight * kVisibleRows + metrics.height() * 6);

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
