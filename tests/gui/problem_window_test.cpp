#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "dialog_fixture.h"
#include "messages/messages.h"

namespace vesk::gui::testing {
namespace {

using ProblemWindowTest = DialogTest;

CheckProblem problem(CheckSeverity severity, const std::string& text) {
  CheckProblem p;
  p.severity = severity;
  p.text = text;
  return p;
}

// What the operator saw in the problem window.
struct Seen {
  QString title;
  QString heading;
  QStringList words;
  QStringList texts;
  int rowsWithIcon = 0;
  QString count;
  QStringList buttons;  // sorted
  QString defaultButton;
  bool modal = false;
};

Seen look(ProblemWindow& window) {
  Seen seen;
  seen.title = window.windowTitle();
  seen.heading = window.heading()->text();
  for (int i = 0; i < window.list()->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = window.list()->topLevelItem(i);
    seen.words << item->text(0);
    seen.texts << item->text(1);
    if (!item->icon(0).isNull()) ++seen.rowsWithIcon;
  }
  seen.count = window.countLine()->text();
  for (const QPushButton* b : window.findChildren<QPushButton*>()) {
    seen.buttons << b->text();
    if (b->isDefault()) seen.defaultButton = b->text();
  }
  seen.buttons.sort();
  seen.modal = window.isModal();
  return seen;
}

TEST_F(ProblemWindowTest, ListsEveryProblemAndLetsTheOperatorGoOnOrStop) {
  const CheckProblem error =
      problem(CheckSeverity::Error, "00 nuvファイルが見つかりません: /s/A.nuv");
  const CheckProblem warning =
      problem(CheckSeverity::Warning, "01 サムネイルが縦長です: /s/B_t.png");
  struct Case {
    const char* name;
    std::vector<CheckProblem> problems;
    bool pressCreate;  // otherwise 中止
    QStringList words;
    QString count;
    QStringList buttons;  // sorted
    const char* heading;
    bool built;
  };
  const Case cases[] = {
      {"warnings, 作成",
       {warning, warning},
       true,
       {"警告", "警告"},
       "警告 2 件",
       {"中止", "作成"},
       kProblemsWarningHeading,
       true},
      {"warnings, 中止",
       {warning},
       false,
       {"警告"},
       "警告 1 件",
       {"中止", "作成"},
       kProblemsWarningHeading,
       false},
      {"errors and warnings",
       {warning, error, error, warning},
       false,
       {"エラー", "エラー", "警告", "警告"},
       "エラー 2 件、警告 2 件",
       {"中止"},
       kProblemsErrorHeading,
       false},
  };
  for (const Case& c : cases) {
    std::size_t builtWarnings = 0;
    bool built = false;
    open([&](const CreateRequest& request, MessageSink&, BuildProgress*) {
      built = true;
      builtWarnings = request.warningCount;
      return BuildReport{};
    });
    add("A");
    add("B");
    chosenFolder = "/out";
    problems = c.problems;
    std::vector<Seen> windows;
    onProblems = [&](ProblemWindow& window) {
      windows.push_back(look(window));
      QPushButton* press = c.pressCreate ? window.createButton() : window.abortButton();
      if (press == nullptr) return false;
      QTest::mouseClick(press, Qt::LeftButton);
      return window.result() == QDialog::Accepted;
    };
    click(1007);

    ASSERT_EQ(windows.size(), 1u) << c.name;
    const Seen& seen = windows[0];
    EXPECT_EQ(seen.title, QString::fromUtf8(kProblemsTitle)) << c.name;
    EXPECT_EQ(seen.heading, QString::fromUtf8(c.heading)) << c.name;
    EXPECT_EQ(seen.words, c.words) << c.name;
    EXPECT_EQ(seen.rowsWithIcon, static_cast<int>(c.problems.size())) << c.name;
    EXPECT_TRUE(seen.texts.contains(QString::fromStdString(c.problems[0].text))) << c.name;
    EXPECT_EQ(seen.count, c.count) << c.name;
    EXPECT_EQ(seen.buttons, c.buttons) << c.name;
    EXPECT_EQ(seen.defaultButton, QStringLiteral("中止")) << c.name;
    EXPECT_TRUE(seen.modal) << c.name;
    EXPECT_EQ(built, c.built) << c.name;
    EXPECT_EQ(builtWarnings, c.built ? c.problems.size() : 0u) << c.name;
    ASSERT_EQ(checks.size(), 1u) << c.name;
    EXPECT_EQ(checks[0].destination, "/out") << c.name;
    EXPECT_FALSE(dialog->controller().busy()) << c.name;
    checks.clear();
  }
}

TEST_F(ProblemWindowTest, EscapeAnswersAbortAndNoProblemsOpenNoWindow) {
  bool built = false;
  open([&](const CreateRequest&, MessageSink&, BuildProgress*) {
    built = true;
    return BuildReport{};
  });
  add("A");
  chosenFolder = "/out";
  problems = {problem(CheckSeverity::Warning, "w")};
  onProblems = [](ProblemWindow& window) {
    window.show();
    QTest::keyClick(window.list(), Qt::Key_Escape);
    return window.result() == QDialog::Accepted;
  };
  click(1007);
  EXPECT_FALSE(built);

  problems.clear();
  onProblems = nullptr;  // a window now fails the test
  click(1007);
  EXPECT_TRUE(built);
}

TEST(ProblemWindowLayout, OpensTallEnoughForTenRowsAndResizes) {
  std::vector<ProblemLine> lines;
  for (int i = 0; i < 30; ++i) lines.push_back({CheckSeverity::Warning, "line"});
  ProblemWindow window(lines, true, nullptr);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const int rowHeight = window.list()->visualItemRect(window.list()->topLevelItem(0)).height();
  ASSERT_GT(rowHeight, 0);
  EXPECT_GE(window.list()->viewport()->height(), rowHeight * 10);
  EXPECT_LT(window.minimumSizeHint().height(), window.height()) << "it may be made smaller";
  window.resize(window.width() + 200, window.height() + 200);
  EXPECT_GT(window.list()->viewport()->height(), rowHeight * 10) << "the list takes new room";
}

TEST(ProblemWindowLayout, ALongLineWrapsWithinTheScreenInsteadOfBeingCut) {
  std::string longText = "00 ファイル名を Windows の展示機で使えません: ";
  for (int i = 0; i < 40; ++i) longText += "/長いフォルダ名" + std::to_string(i);
  const std::vector<ProblemLine> lines = {{CheckSeverity::Warning, "short"},
                                          {CheckSeverity::Error, longText}};
  ProblemWindow window(lines, false, nullptr);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QTreeWidget* list = window.list();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE(window.width(), screen.width()) << "widened only within the screen";

  const QTreeWidgetItem* longItem = list->topLevelItem(1);
  const int shortHeight = list->visualItemRect(list->topLevelItem(0)).height();
  const int wrappedHeight = list->visualItemRect(longItem).height();
  EXPECT_GT(wrappedHeight, 2 * shortHeight) << "the long line takes several lines";
  // What the row shows is the whole text, not an elided copy of it.
  EXPECT_EQ(list->textElideMode(), Qt::ElideNone);
  EXPECT_EQ(longItem->text(1), QString::fromStdString(longText));

  // A narrower window wraps the line onto more lines.
  window.resize(window.width() / 2, window.height());
  QCoreApplication::processEvents();
  EXPECT_GT(list->visualItemRect(longItem).height(), wrappedHeight);
}

}  // namespace
}  // namespace vesk::gui::testing
