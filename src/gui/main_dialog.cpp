#include "main_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSignalBlocker>
#include <QUrl>
#include <utility>

#include "about_dialog.h"
#include "dialog_font.h"
#include "folder_chooser.h"
#include "messages/report_texts.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace vesk::gui {

namespace {

// The boxes the preview fits the pictures into, in the tip's pixels: thumbnails are
// landscape, description pictures portrait and hold text, so they get more height.
constexpr QSize kThumbnailBox(320, 240);
constexpr QSize kDescriptionBox(300, 400);

// The system-menu command that opens the about box.
constexpr unsigned kAboutCommand = 0x0010;

DialogKey dialogKeyOf(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return DialogKey::Enter;
    case Qt::Key_Escape:
      return DialogKey::Escape;
    case Qt::Key_Left:
      return DialogKey::Left;
    case Qt::Key_Up:
      return DialogKey::Up;
    case Qt::Key_Right:
      return DialogKey::Right;
    case Qt::Key_Down:
      return DialogKey::Down;
    default:
      return DialogKey::Other;
  }
}

// The local files of a drop, in the order they were delivered.
std::vector<std::string> localFilesOf(const QMimeData* mime) {
  std::vector<std::string> paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  }
  return paths;
}

// Tightens a label's letter spacing, a quarter pixel at a time and by at most one
// and a half, until its text fits the label's width. The template's rectangles were
// drawn for a font with proportional kana, whose texts run narrower than those of a
// font with full-width kana at the same size; the point size stays.
void fitToWidth(QLabel* label) {
  constexpr qreal kMostTightening = 1.5;
  QFont font = label->font();
  qreal spacing = 0;
  while (spacing > -kMostTightening &&
         QFontMetricsF(font).horizontalAdvance(label->text()) > label->width()) {
    spacing -= 0.25;
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
  }
  label->setFont(font);
}

ViewRect viewRectOf(const QRect& r) {
  // Right and bottom lie just outside the area, as the list box reports them.
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

}  // namespace

MainDialog::MainDialog(DialogServices services)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      answerProblems_(std::move(services.answerProblems)),
      openFile_(std::move(services.openFile)),
      boxSink_(services.sink == nullptr ? std::make_unique<MessageBoxSink>(this) : nullptr),
      sink_(services.sink != nullptr ? *services.sink : *boxSink_),
      runner_(this, sink_),
      controller_(*this, sink_,
                  services.chooseDestination ? std::move(services.chooseDestination)
                                             : ChooseDestination([this](const std::string& start) {
                                                 return chooseDestinationFolder(this, start);
                                               }),
                  services.build ? std::move(services.build) : BuildFunction(createPackage),
                  std::move(services.check)) {
  setWindowTitle(QString::fromUtf8(kDialogTitle));
  setWindowIcon(QApplication::windowIcon());
  setFont(dialogFont(kDialogPointSize));
  setAcceptDrops(true);
  buildControls();
  addAboutToSystemMenu();
  openReportAction_ = new QAction(QString::fromUtf8(kOpenReportMenuText), this);
  connect(openReportAction_, &QAction::triggered, this, [this] { controller_.onOpenReport(); });
  tip_ = new PreviewTip(previews_, this);
  controller_.setBuildRunner(&runner_);
  controller_.initialise();
  qApp->installEventFilter(this);
}

MainDialog::~MainDialog() {
  qApp->removeEventFilter(this);
}

void MainDialog::buildControls() {
  const DialogUnits du(font());
  setFixedSize(du.x(324), du.y(171));

  const auto readOnlyField = [&](int id, QRect geometry, Qt::Alignment alignment) {
    auto* field = new QLineEdit(this);
    field->setReadOnly(true);
    field->setAlignment(alignment | Qt::AlignVCenter);
    field->setAcceptDrops(false);
    field->setGeometry(geometry);
    // Read-only fields are drawn on the window's colour, as the platform's are.
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
    field->setProperty("controlId", id);
    controls_.insert(id, field);
    return field;
  };
  const auto button = [&](int id, const char* text, QRect geometry,
                          void (DialogController::*handler)()) {
    auto* b = new QPushButton(QString::fromUtf8(text), this);
    b->setGeometry(geometry);
    // No button is the default one: Enter presses none.
    b->setAutoDefault(false);
    b->setProperty("controlId", id);
    connect(b, &QPushButton::clicked, this, [this, handler] { (controller_.*handler)(); });
    controls_.insert(id, b);
    return b;
  };
  const auto label = [&](const char* text, QRect geometry, Qt::Alignment alignment) {
    auto* l = new QLabel(QString::fromUtf8(text), this);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(alignment);
    l->setGeometry(geometry);
    fitToWidth(l);
    return l;
  };

  // Created in tab order.
  sceneField_ = readOnlyField(1001, du.rect(44, 5, 274, 12), Qt::AlignRight);
  thumbnailField_ = readOnlyField(1002, du.rect(44, 18, 274, 12), Qt::AlignRight);
  descriptionField_ = readOnlyField(1003, du.rect(44, 32, 274, 12), Qt::AlignRight);

  list_ = new EntryListBox(this);
  list_->setGeometry(du.rect(60, 46, 258, 109));
  list_->setSortingEnabled(false);
  list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Lines are aligned right; a line too long loses its beginning, not its file name.
  list_->setTextElideMode(Qt::ElideLeft);
  list_->setAcceptDrops(false);
  list_->setProperty("controlId", 1004);
  controls_.insert(1004, list_);
  connect(list_, &EntryListBox::selectionReported, this,
          [this] { controller_.onSelectionChanged(); });

  auto* remove = button(1005, "削除", du.rect(6, 83, 36, 15), &DialogController::onDelete);
  auto* add = button(1006, "追加", du.rect(6, 57, 36, 15), &DialogController::onAdd);
  label("nuvファイル", du.rect(5, 5, 37, 13), Qt::AlignRight | Qt::AlignVCenter);
  label("サムネイル", du.rect(5, 19, 37, 13), Qt::AlignRight | Qt::AlignVCenter);
  label("説明", du.rect(14, 33, 28, 13), Qt::AlignRight | Qt::AlignVCenter);
  auto* create = button(1007, "nuv 作成", du.rect(6, 140, 36, 15), &DialogController::onCreate);
  countField_ = readOnlyField(1008, du.rect(12, 122, 23, 14), Qt::AlignLeft);
  label("登録数", du.rect(8, 111, 27, 10), Qt::AlignRight | Qt::AlignTop);
  label(
      "exhibition.nuv をドラッグすることで以前作成された展示用nuvファイルの内容を読み込むことが"
      "できます",
      du.rect(7, 158, 311, 12), Qt::AlignLeft | Qt::AlignTop);
  auto* up = button(1010, "▲", du.rect(47, 46, 11, 37), &DialogController::onUp);
  auto* down = button(1011, "▼", du.rect(47, 118, 11, 37), &DialogController::onDown);

  QWidget* const tabOrder[] = {sceneField_, thumbnailField_, descriptionField_, list_, remove,
                               add,         create,          countField_,       up,    down};
  for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i) {
    setTabOrder(tabOrder[i], tabOrder[i + 1]);
  }
  for (QWidget* w : tabOrder) w->setFocusPolicy(Qt::StrongFocus);
  sceneField_->setFocus();
}

void MainDialog::addAboutToSystemMenu() {
  aboutAction_ = new QAction(QString::fromUtf8(kAboutMenuText), this);
  connect(aboutAction_, &QAction::triggered, this, &MainDialog::showAbout);
#ifdef Q_OS_WIN
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE);
  if (menu == nullptr) return;
  const std::wstring text = QString::fromUtf8(kAboutMenuText).toStdWString();
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kAboutCommand, text.c_str());
#endif
}

#ifdef Q_OS_WIN
bool MainDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  const MSG* msg = static_cast<const MSG*>(message);
  if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kAboutCommand) {
    showAbout();
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}
#endif

void MainDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.addAction(openReportAction_);
#ifndef Q_OS_WIN
  // No system menu can be reached here: the dialog's own menu offers the about box.
  menu.addAction(aboutAction_);
#endif
  menu.exec(event->globalPos());
}

bool MainDialog::openFile(const std::string& path) {
  if (openFile_) return openFile_(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void MainDialog::showAbout() {
  auto* about = new AboutDialog(this);
  about->setAttribute(Qt::WA_DeleteOnClose);
  about->open();
}

bool MainDialog::showPreview(QWidget* watched, QPoint pos, QPoint globalPos) {
  const auto slotsOf = [](const std::string& thumbnail, const std::string& description) {
    std::vector<PreviewSlot> pictures;
    if (!thumbnail.empty()) {
      pictures.push_back(
          {QStringLiteral("サムネイル"), QString::fromStdString(thumbnail), kThumbnailBox});
    }
    if (!description.empty()) {
      pictures.push_back(
          {QStringLiteral("説明"), QString::fromStdString(description), kDescriptionBox});
    }
    return pictures;
  };
  if (watched == list_->viewport()) {
    const int row = list_->indexAt(pos).row();
    const auto& entries = controller_.entryList().entries();
    if (row < 0 || row >= static_cast<int>(entries.size())) {
      tip_->showFor(watched, {}, globalPos, {});
      return true;
    }
    const QRect line = list_->visualItemRect(list_->item(row));
    tip_->showFor(watched, QRect(0, line.top(), watched->width(), line.height()), globalPos,
                  slotsOf(entries[row].thumbnailPath, entries[row].descriptionPath));
    return true;
  }
  // The scene field shows both pictures of the working entry.
  const std::string thumbnail = watched == sceneField_ || watched == thumbnailField_
                                    ? thumbnailField_->text().toStdString()
                                    : std::string();
  const std::string description = watched == sceneField_ || watched == descriptionField_
                                      ? descriptionField_->text().toStdString()
                                      : std::string();
  if (watched != sceneField_ && watched != thumbnailField_ && watched != descriptionField_) {
    return false;
  }
  tip_->showFor(watched, watched->rect(), globalPos, slotsOf(thumbnail, description));
  return true;
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip: {
      auto* widget = qobject_cast<QWidget*>(watched);
      const auto* help = static_cast<QHelpEvent*>(event);
      if (widget != nullptr && showPreview(widget, help->pos(), help->globalPos())) return true;
      break;
    }
    case QEvent::MouseMove:
      if (tip_->isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (widget != nullptr && widget != tip_ && !tip_->isAncestorOf(widget) &&
            !tip_->covers(widget, widget->mapFromGlobal(mouse->globalPosition().toPoint()))) {
          tip_->hide();
        }
      }
      break;
    case QEvent::Leave:
      if (watched == tip_->source()) tip_->hide();
      break;
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::WindowDeactivate:
    case QEvent::DragEnter:
      if (watched != tip_) tip_->hide();
      break;
    default:
      break;
  }
  if (event->type() == QEvent::KeyPress) {
    tip_->hide();
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && (widget == this || isAncestorOf(widget))) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (controller_.onKeyDown(dialogKeyOf(key->key()))) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void MainDialog::dragEnterEvent(QDragEnterEvent* event) {
  if (!controller_.acceptsDrops() || localFilesOf(event->mimeData()).empty()) return;
  // Copy, never move: the dropped files stay where they are.
  event->setDropAction(Qt::CopyAction);
  event->accept();
}

void MainDialog::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths = localFilesOf(event->mimeData());
  if (!controller_.acceptsDrops() || paths.empty()) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  // Handled once the drag has ended, since it may ask a question.
  QMetaObject::invokeMethod(
      this, [this, paths = std::move(paths)] { controller_.onFilesDropped(paths); },
      Qt::QueuedConnection);
}

void MainDialog::closeEvent(QCloseEvent* event) {
  if (controller_.busy()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void MainDialog::setListLines(const std::vector<std::string>& lines) {
  tip_->hide();
  const QSignalBlocker blocker(list_);
  const int count = static_cast<int>(lines.size());
  while (list_->count() > count) delete list_->takeItem(list_->count() - 1);
  while (list_->count() < count) {
    auto* item = new QListWidgetItem(list_);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
  for (int i = 0; i < count; ++i) list_->item(i)->setText(QString::fromStdString(lines[i]));
}

void MainDialog::selectLine(int index) {
  const QSignalBlocker blocker(list_);
  if (index < 0 || index >= list_->count()) {
    list_->clearSelection();
    list_->setCurrentItem(nullptr);
    return;
  }
  list_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  list_->scrollToItem(list_->item(index));
}

int MainDialog::selectedLine() const {
  const QList<QListWidgetItem*> selected = list_->selectedItems();
  return selected.isEmpty() ? -1 : list_->row(selected.first());
}

void MainDialog::setCountText(const std::string& text) {
  countField_->setText(QString::fromStdString(text));
}

void MainDialog::setPathFields(const std::string& scenePath, const std::string& thumbnailPath,
                               const std::string& descriptionPath) {
  tip_->hide();
  sceneField_->setText(QString::fromStdString(scenePath));
  thumbnailField_->setText(QString::fromStdString(thumbnailPath));
  descriptionField_->setText(QString::fromStdString(descriptionPath));
}

ViewRect MainDialog::listBoxRect() const {
  return viewRectOf(list_->geometry());
}

ViewPoint MainDialog::cursorPosition() const {
  const QPoint p = mapFromGlobal(QCursor::pos());
  return {p.x(), p.y()};
}

ViewRect MainDialog::lineRect(int index) const {
  const QListWidgetItem* item = list_->item(index);
  if (item == nullptr) return {};
  // A line spans the list's whole width, whatever the length of its text.
  const QRect r = list_->visualItemRect(item);
  return viewRectOf(QRect(0, r.top(), list_->viewport()->width(), r.height()));
}

bool MainDialog::showProblems(const std::vector<ProblemLine>& lines, bool canCreate) {
  tip_->hide();
  ProblemWindow window(lines, canCreate, this);
  if (answerProblems_) return answerProblems_(window);
  return window.exec() == QDialog::Accepted;
}

}  // namespace vesk::gui
