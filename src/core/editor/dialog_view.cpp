#include "editor/dialog_view.h"

namespace vesk {

bool cursorOverLine(ViewPoint cursor, const ViewRect& listBoxRect, const ViewRect& line) {
  const int x = cursor.x - listBoxRect.left;
  const int y = cursor.y - listBoxRect.top;
  return line.left <= x && x <= line.right && line.top <= y && y <= line.bottom;
}

}  // namespace vesk
