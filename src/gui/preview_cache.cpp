#include "preview_cache.h"

#include <QFileInfo>
#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>

namespace vesk::gui {

PreviewCache::PreviewCache(qint64 budgetBytes, QObject* parent)
    : QObject(parent), kept_(static_cast<qsizetype>(budgetBytes / 1024)) {
  // Two readers keep the dialog's own work going on a small machine.
  pool_.setMaxThreadCount(2);
}

PreviewCache::~PreviewCache() {
  pool_.clear();
  pool_.waitForDone();
}

QString PreviewCache::keyOf(const QString& path, QSize box) {
  return QStringLiteral("%1x%2|").arg(box.width()).arg(box.height()) + path;
}

const PicturePreview* PreviewCache::preview(const QString& path, QSize box) {
  const QString key = keyOf(path, box);
  if (const PicturePreview* kept = kept_.object(key)) {
    const QFileInfo info(path);
    const qint64 bytes = info.exists() ? info.size() : -1;
    if (kept->bytes == bytes && kept->modified == info.lastModified()) return kept;
    kept_.remove(key);
  }
  if (reading_.contains(key)) return nullptr;
  reading_.insert(key);
  QtConcurrent::run(&pool_, loadPicturePreview, path, box)
      .then(this, [this, key, path](PicturePreview read) {
        reading_.remove(key);
        const qsizetype cost = std::max<qsizetype>(1, read.image.sizeInBytes() / 1024);
        kept_.insert(key, new PicturePreview(std::move(read)), cost);
        // Never from inside `preview`, which runs this directly when the reading has
        // ended before it could be chained.
        QMetaObject::invokeMethod(
            this, [this, path] { emit loaded(path); }, Qt::QueuedConnection);
      });
  return nullptr;
}

}  // namespace vesk::gui
