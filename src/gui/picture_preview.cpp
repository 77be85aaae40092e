#include "picture_preview.h"

#include <QFileInfo>
#include <QImageReader>

namespace vesk::gui {

namespace {

QString problemText(const QImageReader& reader) {
  switch (reader.error()) {
    case QImageReader::FileNotFoundError:
      return QStringLiteral("ファイルがありません");
    case QImageReader::DeviceError:
      return QStringLiteral("ファイルを開けません（読み取りの権限がないか、使用中です）");
    case QImageReader::UnsupportedFormatError:
      return QStringLiteral("画像として読めません（JPEG、PNG、BMP のいずれでもありません）");
    case QImageReader::InvalidDataError:
      return QStringLiteral("画像が壊れているため読めません");
    default:
      return QStringLiteral("画像を読めません: ") + reader.errorString();
  }
}

}  // namespace

PicturePreview loadPicturePreview(const QString& path, QSize box) {
  PicturePreview preview;
  const QFileInfo info(path);
  preview.modified = info.lastModified();
  preview.bytes = info.exists() ? info.size() : -1;
  if (!info.exists()) {
    preview.problem = QStringLiteral("ファイルがありません");
    return preview;
  }
  if (info.isDir()) {
    preview.problem = QStringLiteral("フォルダです。画像ファイルではありません");
    return preview;
  }

  QImageReader reader(path);
  reader.setAutoTransform(false);
  // The format is taken from the content, so that a picture is shown for what it is
  // whatever its name says.
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  if (size.isValid() && !size.isEmpty()) {
    preview.pixelSize = size;
    // Scaled while decoding: large JPEGs are then decoded at a fraction of their size.
    if (size.width() > box.width() || size.height() > box.height()) {
      reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    }
  }
  QImage image = reader.read();
  if (image.isNull()) {
    // A picture whose whole decoded size passes Qt's memory limit (a BMP, which is not
    // decoded scaled) is not broken: only too large to preview, and the create takes it.
    const qint64 limitBytes = static_cast<qint64>(QImageReader::allocationLimit()) << 20;
    const bool tooLarge =
        preview.pixelSize.isValid() && limitBytes > 0 &&
        static_cast<qint64>(preview.pixelSize.width()) * preview.pixelSize.height() * 4 >
            limitBytes;
    preview.problem =
        tooLarge ? QStringLiteral("画像が大きすぎるためプレビューできません") : problemText(reader);
    return preview;
  }
  if (!preview.pixelSize.isValid()) preview.pixelSize = image.size();
  if (image.width() > box.width() || image.height() > box.height()) {
    image = image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  preview.image = std::move(image);
  return preview;
}

QString pixelSizeText(QSize size) {
  return QStringLiteral("%1 × %2 ピクセル").arg(size.width()).arg(size.height());
}

}  // namespace vesk::gui
