#pragma once

#include <QCache>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

#include "picture_preview.h"

namespace vesk::gui {

// Previews of picture files, decoded on worker threads and kept for later hovers.
// The GUI thread never waits on a file: a kept preview is given at once while a worker
// looks whether its file has changed since it was read, and reads it again if so. Used
// on the GUI thread; `loaded` is emitted there, from the event loop, when a requested
// preview is ready or a kept one was read again.
class PreviewCache : public QObject {
  Q_OBJECT

 public:
  // `budgetBytes` bounds the memory the kept images take.
  explicit PreviewCache(qint64 budgetBytes = 64 << 20, QObject* parent = nullptr);
  ~PreviewCache() override;

  // The preview of `path` fitted into `box` as last read, or null when none is; then it
  // is being read, and `loaded` follows. A kept one given may be stale for a moment:
  // `loaded` follows when its file had changed.
  const PicturePreview* preview(const QString& path, QSize box);

  // Waits until every reading has ended (for tests and shutdown).
  void waitForReads() { pool_.waitForDone(); }

 signals:
  void loaded(const QString& path);

 private:
  static QString keyOf(const QString& path, QSize box);
  // Keeps `read` under `key` and says it is ready, from the event loop.
  void keep(const QString& key, const QString& path, PicturePreview read);

  QCache<QString, PicturePreview> kept_;
  QSet<QString> reading_;
  // Last, so that it is destroyed first: the readings end before the rest goes.
  QThreadPool pool_;
};

}  // namespace vesk::gui
