#pragma once

#include <QFont>
#include <QRect>

namespace vesk::gui {

// Point size of the main dialog's font, which every window but the about box and
// the picture preview uses.
inline constexpr int kDialogPointSize = 14;

// The font of the dialogs: "MS UI Gothic" where it is installed, otherwise
// "Noto Sans CJK JP" (Debian's fonts-noto-cjk), at the given point size.
QFont dialogFont(int pointSize);

// Converts dialog units into pixels with a font's metrics, as dialog templates do:
// the horizontal base unit is the average width of "A".."Z" and "a".."z", the
// vertical one the font's height; x counts quarters and y eighths of them.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int x(int units) const;
  int y(int units) const;
  // A rectangle given as left, top, width and height in dialog units.
  QRect rect(int left, int top, int width, int height) const;

  int baseWidth() const { return baseWidth_; }
  int baseHeight() const { return baseHeight_; }

 private:
  int baseWidth_;
  int baseHeight_;
};

}  // namespace vesk::gui
