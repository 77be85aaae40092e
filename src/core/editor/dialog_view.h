#pragma once

#include <string>
#include <vector>

#include "editor/problem_lines.h"

namespace vesk {

// A rectangle in pixels with inclusive edges on all four sides, as the list box
// reports the rectangle of a line.
struct ViewRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

struct ViewPoint {
  int x = 0;
  int y = 0;
};

// What the dialog controller needs from the window it drives. Every call comes from
// the dialog's thread. Setting lines or a selection through this interface never
// reports a selection change back to the controller.
class DialogView {
 public:
  virtual ~DialogView() = default;

  // Replaces the lines of the entry list box.
  virtual void setListLines(const std::vector<std::string>& lines) = 0;
  // Selects line `index` and scrolls it into view; -1, or an index without a line,
  // leaves no line selected.
  virtual void selectLine(int index) = 0;
  // The selected line, -1 when none is.
  virtual int selectedLine() const = 0;

  // Writes the entry count field.
  virtual void setCountText(const std::string& text) = 0;
  // Writes the scene, thumbnail and description path fields.
  virtual void setPathFields(const std::string& scenePath, const std::string& thumbnailPath,
                             const std::string& descriptionPath) = 0;

  // The list box's rectangle in the dialog's client coordinates, frame included.
  virtual ViewRect listBoxRect() const = 0;
  // The mouse cursor's position now, in the dialog's client coordinates.
  virtual ViewPoint cursorPosition() const = 0;
  // The rectangle of line `index` in the list box's client coordinates (inside its
  // frame).
  virtual ViewRect lineRect(int index) const = 0;

  // Shows the problems the check found before a create, all in one modal window, and
  // returns once the operator has answered: true for 作成, offered only when
  // `canCreate`; false for 中止 (the default, also Escape and closing the window).
  virtual bool showProblems(const std::vector<ProblemLine>& lines, bool canCreate) = 0;

  // Opens the local file at `path` in the program the desktop opens it with (a web
  // page: the default browser) and returns at once; false when it cannot be handed on.
  virtual bool openFile(const std::string& path) = 0;
};

// True when `cursor` (dialog client coordinates) lies on `line` (list box client
// coordinates) after subtracting the list box's top-left corner; every edge counts
// as inside. The list box frame is not compensated, so the test is off by the frame
// width, as the selection rule expects.
bool cursorOverLine(ViewPoint cursor, const ViewRect& listBoxRect, const ViewRect& line);

}  // namespace vesk
