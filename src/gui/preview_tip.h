#pragma once

#include <QFrame>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

#include "preview_cache.h"

namespace vesk::gui {

// One picture of a preview tip: its caption, its file and the box it is fitted into
// (in the tip's own pixels).
struct PreviewSlot {
  QString title;
  QString path;
  QSize box;
};

// A tool tip that shows pictures side by side, each with its caption, its size in
// pixels (or why it cannot be read) and its file name. Pictures not read yet show a
// placeholder of their box's size and appear once the cache has read them.
class PreviewTip : public QFrame {
  Q_OBJECT

 public:
  PreviewTip(PreviewCache& cache, QWidget* owner);

  // Shows `pictures` near `globalPos` for the area `area` of `source` (in its
  // coordinates); an empty list hides the tip.
  void showFor(QWidget* source, QRect area, QPoint globalPos, std::vector<PreviewSlot> pictures);
  // True while the tip is shown for `source` and `pos` (source coordinates) lies in
  // its area.
  bool covers(const QWidget* source, QPoint pos) const;
  const std::vector<PreviewSlot>& shownSlots() const { return pictures_; }
  // The widget the tip was last shown for.
  const QWidget* source() const { return source_; }

 private:
  void rebuild();
  void placeNear(QPoint globalPos);

  PreviewCache& cache_;
  QPointer<QWidget> source_;
  QRect area_;
  QPoint anchor_;
  std::vector<PreviewSlot> pictures_;
  QWidget* content_ = nullptr;
};

}  // namespace vesk::gui
