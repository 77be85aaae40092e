#include "preview_cache.h"

#include <QFileInfo>
#include <QFuture>
#include <QtConcurrent/QtConcurrentRun>
#include <optional>

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
  const PicturePreview* kept = kept_.object(key);
  if (reading_.contains(key)) return kept;
  reading_.insert(key);
  if (kept != nullptr) {
    // Shown at once. Whether its file has changed since it was read is looked at on a
    // worker, as a look on a slow or lost share can take seconds; a change is read
    // again and said with `loaded`.
    QtConcurrent::run(&pool_,
                      [path, box, bytes = kept->bytes,
                       modified = kept->modified]() -> std::optional<PicturePreview> {
                        const QFileInfo info(path);
                        const qint64 now = info.exists() ? info.size() : -1;
                        if (now == bytes && info.lastModified() == modified) return std::nullopt;
                        return loadPicturePreview(path, box);
                      })
        .then(this, [this, key, path](std::optional<PicturePreview> read) {
          // Never from inside `preview`, which runs this directly when the look has
          // ended before it could be chained, and returns the kept preview.
          QMetaObject::invokeMethod(
              this,
              [this, key, path, read = std::move(read)]() mutable {
                reading_.remove(key);
                if (read) {
                  keep(key, path, std::move(*read));
                } else if (!kept_.contains(key)) {
                  // Let go of meanwhile for other previews: asked again, it is read anew.
                  emit loaded(path);
                }
              },
              Qt::QueuedConnection);
        });
    return kept;
  }
  QtConcurrent::run(&pool_, loadPicturePreview, path, box)
      .then(this, [this, key, path](PicturePreview read) {
        reading_.remove(key);
        keep(key, path, std::move(read));
      });
  return nullptr;
}

void PreviewCache::keep(const QString& key, const QString& path, PicturePreview read) {
  const qsizetype cost = std::max<qsizetype>(1, read.image.sizeInBytes() / 1024);
  kept_.insert(key, new PicturePreview(std::move(read)), cost);
  // Never from inside `preview`, which runs the first reading's continuation directly
  // when the reading has ended before it could be chained.
  QMetaObject::invokeMethod(
      this, [this, path] { emit loaded(path); }, Qt::QueuedConnection);
}

}  // namespace vesk::gui
