#include "preview_tip.h"

#include "dialog_font.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QToolTip>
#include <QVBoxLayout>
#include <utility>

namespace vesk::gui {

PreviewTip::PreviewTip(PreviewCache& cache, QWidget* owner)
    : QFrame(owner, Qt::ToolTip | Qt::BypassGraphicsProxyWidget), cache_(cache) {
  setPalette(QToolTip::palette());
  setAutoFillBackground(true);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  // Captions in the dialog's own font, a little smaller than its 14 points.
  setFont(dialogFont(11));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  connect(&cache_, &PreviewCache::loaded, this, [this](const QString& path) {
    if (!isVisible()) return;
    for (const PreviewSlot& slot : pictures_) {
      if (slot.path == path) {
        rebuild();
        placeNear(anchor_);
        return;
      }
    }
  });
}

void PreviewTip::showFor(QWidget* source, QRect area, QPoint globalPos,
                         std::vector<PreviewSlot> pictures) {
  if (pictures.empty()) {
    hide();
    pictures_.clear();
    return;
  }
  source_ = source;
  area_ = area;
  anchor_ = globalPos;
  pictures_ = std::move(pictures);
  rebuild();
  placeNear(globalPos);
  show();
}

bool PreviewTip::covers(const QWidget* source, QPoint pos) const {
  return isVisible() && source_ == source && area_.contains(pos);
}

void PreviewTip::rebuild() {
  delete content_;
  content_ = new QWidget(this);
  auto* row = new QHBoxLayout(content_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(12);
  const qreal ratio = devicePixelRatioF();
  for (const PreviewSlot& slot : pictures_) {
    auto* column = new QVBoxLayout;
    column->setSpacing(3);
    auto* title = new QLabel(slot.title, content_);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    column->addWidget(title);

    auto* picture = new QLabel(content_);
    picture->setAlignment(Qt::AlignCenter);
    auto* caption = new QLabel(content_);
    caption->setTextFormat(Qt::PlainText);
    const QSize deviceBox = (QSizeF(slot.box) * ratio).toSize();
    if (const PicturePreview* preview = cache_.preview(slot.path, deviceBox)) {
      if (preview->image.isNull()) {
        picture->hide();
        caption->setFixedWidth(slot.box.width());
        caption->setText(preview->problem);
        caption->setWordWrap(true);
        QPalette warning = caption->palette();
        warning.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
        caption->setPalette(warning);
      } else {
        QPixmap pixmap = QPixmap::fromImage(preview->image);
        pixmap.setDevicePixelRatio(ratio);
        picture->setPixmap(pixmap);
        caption->setText(pixelSizeText(preview->pixelSize));
      }
    } else {
      picture->setFixedSize(slot.box);
      picture->setText(QStringLiteral("読み込み中…"));
    }
    column->addWidget(picture);
    column->addWidget(caption);
    auto* name = new QLabel(content_);
    name->setTextFormat(Qt::PlainText);
    name->setText(
        QFontMetrics(name->font())
            .elidedText(QFileInfo(slot.path).fileName(), Qt::ElideMiddle, slot.box.width()));
    column->addWidget(name);
    column->addStretch();
    row->addLayout(column);
  }
  layout()->addWidget(content_);
  content_->show();
  adjustSize();
}

void PreviewTip::placeNear(QPoint globalPos) {
  // Below and to the right of the cursor, kept on the screen.
  QPoint at = globalPos + QPoint(16, 20);
  const QScreen* screen = QGuiApplication::screenAt(globalPos);
  if (screen != nullptr) {
    const QRect available = screen->availableGeometry();
    if (at.x() + width() > available.right())
      at.setX(std::max(available.left(), globalPos.x() - width() - 4));
    if (at.y() + height() > available.bottom())
      at.setY(std::max(available.top(), globalPos.y() - height() - 4));
  }
  move(at);
}

}  // namespace vesk::gui
