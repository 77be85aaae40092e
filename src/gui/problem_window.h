#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <vector>

#include "editor/problem_lines.h"

namespace vesk::gui {

// The modal window that lists every problem the check found before a create: a
// heading, one row per problem (its severity's icon and word, then its text), the
// count line, and the buttons 作成 (only when `canCreate`) and 中止. 中止 is the
// default button; Escape and the close box answer 中止 too. Accepted means 作成.
// Resizable; it opens tall enough for about ten rows and wide enough for the longest
// line within the screen; longer lines wrap.
class ProblemWindow : public QDialog {
  Q_OBJECT

 public:
  ProblemWindow(const std::vector<ProblemLine>& lines, bool canCreate, QWidget* parent);

  QLabel* heading() const { return heading_; }
  QTreeWidget* list() const { return list_; }
  QLabel* countLine() const { return countLine_; }
  // Null when the create cannot go on.
  QPushButton* createButton() const { return createButton_; }
  QPushButton* abortButton() const { return abortButton_; }

 private:
  QLabel* heading_;
  QTreeWidget* list_;
  QLabel* countLine_;
  QPushButton* createButton_ = nullptr;
  QPushButton* abortButton_;
};

}  // namespace vesk::gui
