#include <QCursor>
#include <QFontInfo>
#include <QLabel>

#include "dialog_fixture.h"
#include "dialog_font.h"

namespace vesk::gui::testing {
namespace {

using MainWindow = DialogTest;
using EditingCommands = DialogTest;
using ListSelection = DialogTest;
using KeyHandling = DialogTest;

std::vector<std::string> pathsOf(const std::string& name) {
  return {"/s/" + name + ".nuv", "/s/" + name + "_t.png", "/s/" + name + "_d.png"};
}

std::vector<std::string> linesOf(const std::string& names) {
  std::vector<std::string> result;
  for (char c : names) result.push_back("/s/" + std::string(1, c) + ".nuv");
  return result;
}

TEST_F(MainWindow, HasTheTitleAndNoMinimiseOrMaximiseBox) {
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral(" Vesk"));
  const Qt::WindowFlags flags = dialog->windowFlags();
  EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "the frame does not resize";
  EXPECT_FALSE(dialog->windowIcon().isNull());
  EXPECT_TRUE(dialog->acceptDrops());
}

TEST_F(MainWindow, HasEveryControlWithItsTextAndPlaceInDialogUnits) {
  const DialogUnits du(dialog->font());
  EXPECT_EQ(dialog->size(), QSize(du.x(324), du.y(171)));
  struct Control {
    int id;
    const char* text;  // null: an edit field or the list
    QRect units;
  };
  const Control controls[] = {
      {1001, nullptr, {44, 5, 274, 12}},    {1002, nullptr, {44, 18, 274, 12}},
      {1003, nullptr, {44, 32, 274, 12}},   {1004, nullptr, {60, 46, 258, 109}},
      {1005, "削除", {6, 83, 36, 15}},      {1006, "追加", {6, 57, 36, 15}},
      {1007, "nuv 作成", {6, 140, 36, 15}}, {1008, nullptr, {12, 122, 23, 14}},
      {1010, "▲", {47, 46, 11, 37}},        {1011, "▼", {47, 118, 11, 37}},
  };
  for (const Control& c : controls) {
    QWidget* w = dialog->control(c.id);
    ASSERT_NE(w, nullptr) << c.id;
    EXPECT_TRUE(w->isVisible()) << c.id;
    const QRect& u = c.units;
    EXPECT_EQ(w->geometry(), du.rect(u.x(), u.y(), u.width(), u.height())) << c.id;
    if (c.text != nullptr) {
      EXPECT_EQ(button(c.id)->text(), QString::fromUtf8(c.text)) << c.id;
    }
  }
  QStringList labels;
  for (const QLabel* label : dialog->findChildren<QLabel*>()) labels << label->text();
  for (const char* text : {"nuvファイル", "サムネイル", "説明", "登録数",
                           "exhibition.nuv をドラッグすることで以前作成された展示用nuvファイル"
                           "の内容を読み込むことができます"}) {
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
  }
}

TEST_F(MainWindow, FieldsAreReadOnlyPathsAlignedRightAndCountLeft) {
  for (int id : {1001, 1002, 1003, 1008}) {
    EXPECT_TRUE(field(id)->isReadOnly()) << id;
    EXPECT_EQ(field(id)->alignment() & Qt::AlignHorizontal_Mask,
              id == 1008 ? Qt::AlignLeft : Qt::AlignRight)
        << id;
  }
  add("A");
  EXPECT_EQ(list()->item(0)->textAlignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
  EXPECT_EQ(list()->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(MainWindow, TabOrderFollowsTheControlIds) {
  std::vector<int> order;
  QWidget* w = dialog->control(1001);
  do {
    const QVariant id = w->property("controlId");
    if (id.isValid() && w->focusPolicy() & Qt::TabFocus) order.push_back(id.toInt());
    w = w->nextInFocusChain();
  } while (w != dialog->control(1001));
  EXPECT_EQ(order, std::vector<int>({1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1010, 1011}));
}

TEST_F(MainWindow, JapaneseTextsHaveAJapaneseFontAt14Points) {
  const QFont font = dialog->font();
  EXPECT_EQ(font.pointSize(), 14);
  EXPECT_TRUE(QFontInfo(font).family() == QStringLiteral("MS UI Gothic") ||
              QFontInfo(font).family() == QStringLiteral("Noto Sans CJK JP"))
      << QFontInfo(font).family().toStdString() << ": is fonts-noto-cjk installed?";
  const QFontMetrics metrics(font);
  for (QChar c : QStringLiteral("削除追加作成登録数説明サムネイル展示用▲▼")) {
    EXPECT_TRUE(metrics.inFontUcs4(c.unicode())) << QString(c).toStdString();
  }
}

TEST_F(MainWindow, EveryLabelKeeps14PointsAndFitsItsRectangle) {
  const auto labels = dialog->findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 5);
  for (const QLabel* label : labels) {
    EXPECT_EQ(label->font().pointSize(), 14) << label->text().toStdString();
    EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(label->text()), label->width())
        << label->text().toStdString();
  }
}

TEST_F(MainWindow, StartsWithEmptyListBlankFieldsAndBlankCount) {
  EXPECT_EQ(list()->count(), 0);
  EXPECT_EQ(fields(), std::vector<std::string>({"", "", ""}));
  EXPECT_EQ(count(), "");
  for (int id : {1005, 1010, 1011}) click(id);
  EXPECT_EQ(list()->count(), 0);
  EXPECT_EQ(count(), "") << "Delete, Up and Down do not write the count";
  EXPECT_TRUE(sink.messages.empty());
  const ViewRect rect = dialog->controller().listBoxRect();
  EXPECT_EQ(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
            list()->geometry());
}

TEST_F(EditingCommands, AddWithAMissingFieldShowsTheMessageAndChangesNothing) {
  add("A");
  dialog->controller().entryList().workingEntry() = {"/s/X.nuv", "/s/X_t.png", "", {}};
  click(1006);
  EXPECT_EQ(sink.messages, std::vector<std::string>{"エラー　要素が足りません"});
  EXPECT_EQ(lines(), linesOf("A"));
  EXPECT_EQ(selectedRow(), 0);
  EXPECT_EQ(count(), "1");
  EXPECT_EQ(fields(), std::vector<std::string>({"", "", ""})) << "the fields are not redrawn";
}

TEST_F(EditingCommands, AddDeleteUpAndDownRedrawListSelectionFieldsAndCount) {
  add("A");
  EXPECT_EQ(lines(), linesOf("A"));
  EXPECT_EQ(selectedRow(), 0);
  EXPECT_EQ(count(), "1");
  add("B");
  add("C");
  EXPECT_EQ(lines(), linesOf("ABC"));
  EXPECT_EQ(selectedRow(), 2);
  EXPECT_EQ(count(), "3");

  click(1010);  // Up on the third line
  EXPECT_EQ(lines(), linesOf("ACB"));
  EXPECT_EQ(selectedRow(), 1);
  EXPECT_EQ(fields(), pathsOf("C"));
  click(1010);
  click(1010);  // already first: nothing visible changes
  EXPECT_EQ(lines(), linesOf("CAB"));
  EXPECT_EQ(selectedRow(), 0);
  click(1011);
  click(1011);
  click(1011);  // already last
  EXPECT_EQ(lines(), linesOf("ABC"));
  EXPECT_EQ(selectedRow(), 2);
  EXPECT_EQ(fields(), pathsOf("C"));
  EXPECT_EQ(count(), "3");

  click(1005);  // Delete of the last line selects the new last one
  EXPECT_EQ(lines(), linesOf("AB"));
  EXPECT_EQ(selectedRow(), 1);
  EXPECT_EQ(fields(), pathsOf("B"));
  EXPECT_EQ(count(), "2");
  click(1005);
  click(1005);
  EXPECT_EQ(list()->count(), 0);
  EXPECT_EQ(fields(), std::vector<std::string>({"", "", ""}));
  EXPECT_EQ(count(), "0");
  click(1005);
  EXPECT_EQ(count(), "0");
  EXPECT_TRUE(sink.messages.empty());
}

// The centre of line `row` in global coordinates.
QPoint globalCentreOf(QListWidget* list, int row) {
  return list->viewport()->mapToGlobal(list->visualItemRect(list->item(row)).center());
}

TEST_F(ListSelection, AnArrowKeyLoadsTheNewLineWhereverTheCursorIs) {
  add("A");
  add("B");
  add("C");
  QCursor::setPos(dialog->mapToGlobal(QPoint(1, 1)));
  list()->setFocus();
  QTest::keyClick(list(), Qt::Key_Up);
  EXPECT_EQ(selectedRow(), 1);
  EXPECT_EQ(fields(), pathsOf("B"));
  EXPECT_FALSE(dialog->controller().arrowKeyPressed());
}

TEST_F(ListSelection, AClickOnALineLoadsIt) {
  add("A");
  add("B");
  add("C");
  const QPoint target = globalCentreOf(list(), 0);
  QCursor::setPos(target);
  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                    list()->viewport()->mapFromGlobal(target));
  EXPECT_EQ(selectedRow(), 0);
  EXPECT_EQ(fields(), pathsOf("A"));
}

TEST_F(ListSelection, AChangeWhileTheCursorIsOffTheLineKeepsTheFields) {
  add("A");
  add("B");
  add("C");
  click(1010);
  click(1010);  // C first, shown
  ASSERT_EQ(fields(), pathsOf("C"));
  QCursor::setPos(dialog->mapToGlobal(QPoint(1, 1)));
  list()->setFocus();
  QTest::keyClick(list(), Qt::Key_End);  // not an arrow: judged by the cursor
  EXPECT_EQ(selectedRow(), 2);
  EXPECT_EQ(dialog->controller().entryList().currentIndex(), 2);
  EXPECT_EQ(fields(), pathsOf("C"));
  click(1010);  // acts on the highlighted line, B
  EXPECT_EQ(lines(), linesOf("CBA"));
  EXPECT_EQ(fields(), pathsOf("B"));
}

TEST_F(KeyHandling, EnterAndEscapeDoNothingInAnyControl) {
  add("A");
  for (int id : {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1010, 1011}) {
    QWidget* w = dialog->control(id);
    w->setFocus();
    QTest::keyClick(w, Qt::Key_Return);
    QTest::keyClick(w, Qt::Key_Enter);
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible()) << id;
    EXPECT_EQ(lines(), linesOf("A")) << id;
  }
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(chooserStarts.empty());
}

TEST_F(KeyHandling, ArrowKeysInAnyControlSetTheFlag) {
  for (int id : {1001, 1006, 1008}) {
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down}) {
      open();
      QWidget* w = dialog->control(id);
      w->setFocus();
      QTest::keyClick(w, key);
      EXPECT_TRUE(dialog->controller().arrowKeyPressed()) << id << " key " << key;
    }
  }
  open();
  QTest::keyClick(dialog->control(1006), Qt::Key_Home);
  EXPECT_FALSE(dialog->controller().arrowKeyPressed());
}

}  // namespace
}  // namespace vesk::gui::testing
