#include <QCursor>
#include <functional>

#include "dialog_fixture.h"

namespace vesk::gui::testing {
namespace {

std::vector<std::string> pathsOf(const std::string& name) {
  return {"/s/" + name + ".nuv", "/s/" + name + "_t.png", "/s/" + name + "_d.png"};
}

// Clicks at `at` in the list's viewport with the cursor put there first, since the
// dialog judges a click by where the cursor is.
void clickAt(QListWidget* list, QPoint at, Qt::MouseButton button = Qt::LeftButton,
             Qt::KeyboardModifiers modifiers = {}) {
  QCursor::setPos(list->viewport()->mapToGlobal(at));
  QTest::mouseClick(list->viewport(), button, modifiers, at);
}

QPoint centreOf(QListWidget* list, int row) {
  return list->visualItemRect(list->item(row)).center();
}

using EntryListBoxClicks = DialogTest;

// Whatever the operator does in the list box, once it holds lines one of them stays
// highlighted and current, and a click on a line is reported even when that line is
// highlighted already. Each case starts with A, B and C listed and A loaded.
TEST_F(EntryListBoxClicks, TheListKeepsOneLineSelectedAndReportsEveryLeftClickOnALine) {
  struct Case {
    const char* what;
    std::function<void(QListWidget*)> act;
    int row;            // highlighted line and current entry afterwards
    const char* shown;  // the entry the fields show
  };
  const Case cases[] = {
      {"left click in the blank part below the last line",
       [](QListWidget* l) { clickAt(l, QPoint(10, l->viewport()->height() - 3)); }, 2, "A"},
      {"Ctrl+click on the highlighted line",
       [](QListWidget* l) { clickAt(l, centreOf(l, 0), Qt::LeftButton, Qt::ControlModifier); }, 0,
       "A"},
      {"Ctrl+Space", [](QListWidget* l) { QTest::keyClick(l, Qt::Key_Space, Qt::ControlModifier); },
       0, "A"},
      {"right click on another line",
       [](QListWidget* l) { clickAt(l, centreOf(l, 2), Qt::RightButton); }, 0, "A"},
      {"middle click on another line",
       [](QListWidget* l) { clickAt(l, centreOf(l, 1), Qt::MiddleButton); }, 0, "A"},
      {"End away from the cursor, then a click on the highlighted line",
       [](QListWidget* l) {
         QCursor::setPos(l->window()->mapToGlobal(QPoint(1, 1)));
         QTest::keyClick(l, Qt::Key_End);
         clickAt(l, centreOf(l, 2));
       },
       2, "C"},
  };
  for (const Case& c : cases) {
    open();
    add("A");
    add("B");
    add("C");
    list()->setFocus();
    clickAt(list(), centreOf(list(), 0));
    ASSERT_EQ(fields(), pathsOf("A"));

    c.act(list());
    EXPECT_EQ(selectedRow(), c.row) << c.what;
    EXPECT_EQ(dialog->controller().entryList().currentIndex(), c.row) << c.what;
    EXPECT_EQ(fields(), pathsOf(c.shown)) << c.what;
    // The list is alive: Delete removes the highlighted line and shows the next.
    click(1005);
    EXPECT_EQ(list()->count(), 2) << c.what;
    EXPECT_NE(selectedRow(), -1) << c.what;
  }
}

}  // namespace
}  // namespace vesk::gui::testing
