#pragma once

#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>

namespace vesk::gui {

// A picture file as a preview shows it: the picture scaled down to fit a box, its
// size in pixels, and, when it cannot be read, why. `modified` and `bytes` are the
// file's when it was read, so that a cached preview can tell that the file changed.
struct PicturePreview {
  QImage image;
  QSize pixelSize;
  QString problem;  // empty when the picture was read
  QDateTime modified;
  qint64 bytes = -1;
};

// Reads the picture at `path`, scaled to fit within `box` (never enlarged), keeping
// its proportions. Safe to call on any thread. A missing file, a folder, a file that
// cannot be opened or decoded gives a preview without an image, with the reason in
// `problem`.
PicturePreview loadPicturePreview(const QString& path, QSize box);

// "320 × 240 ピクセル"
QString pixelSizeText(QSize size);

}  // namespace vesk::gui
