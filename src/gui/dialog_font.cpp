#include "dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace vesk::gui {

QFont dialogFont(int pointSize) {
  const QString preferred = QStringLiteral("MS UI Gothic");
  const QString fallback = QStringLiteral("Noto Sans CJK JP");
  const QStringList families = QFontDatabase::families();
  QFont font(families.contains(preferred) ? preferred : fallback, pointSize);
  // Where neither is installed, any font that has the Japanese glyphs will do.
  font.setStyleHint(QFont::SansSerif);
  return font;
}

namespace {

// Rounds `value * numerator / denominator` to the nearest integer, halves away from
// zero, as the dialog manager's arithmetic does.
int scale(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabet = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseWidth_ = (alphabet / 26 + 1) / 2;
  baseHeight_ = metrics.height();
}

int DialogUnits::x(int units) const {
  return scale(units, baseWidth_, 4);
}
int DialogUnits::y(int units) const {
  return scale(units, baseHeight_, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const {
  const int l = x(left);
  const int t = y(top);
  return QRect(l, t, x(left + width) - l, y(top + height) - t);
}

}  // namespace vesk::gui
