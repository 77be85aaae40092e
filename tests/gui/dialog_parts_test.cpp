#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "about_dialog.h"
#include "dialog_fixture.h"
#include "dialog_font.h"
#include "folder_chooser.h"
#include "message_boxes.h"
#include "messages/messages.h"

namespace vesk::gui::testing {
namespace {

using AboutBox = DialogTest;

TEST_F(AboutBox, OpensFromTheDialogsMenuItemAndClosesWithOk) {
  ASSERT_NE(dialog->aboutAction(), nullptr);
  EXPECT_EQ(dialog->aboutAction()->text(), QStringLiteral("バージョン情報 Vesk(&A)..."));
  add("A");
  dialog->aboutAction()->trigger();
  auto* about = dialog->findChild<AboutDialog*>();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_TRUE(about->isModal());
  EXPECT_EQ(about->windowTitle(), QStringLiteral("バージョン情報 Vesk"));
  QStringList texts;
  bool hasIcon = false;
  for (const QLabel* label : about->findChildren<QLabel*>()) {
    texts << label->text();
    hasIcon = hasIcon || !label->pixmap().isNull();
  }
  EXPECT_TRUE(texts.contains(QStringLiteral("Vesk, Version 1.0")));
  EXPECT_TRUE(hasIcon);
  const auto buttons = about->findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(buttons[0]->text(), QStringLiteral("OK"));
  QTest::mouseClick(buttons[0], Qt::LeftButton);
  EXPECT_FALSE(about->isVisible());
  EXPECT_EQ(lines(), std::vector<std::string>{"/s/A.nuv"}) << "the dialog is unchanged";
}

TEST(MessageBoxes, MessagesWarnWithOkAndTheQuestionAsksYesOrNo) {
  const QString caption = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  const auto message = makeMessageBox(errorMessage("エラー　要素が足りません"), nullptr);
  EXPECT_EQ(message->windowTitle(), caption);
  EXPECT_EQ(message->icon(), QMessageBox::Warning);
  EXPECT_EQ(message->standardButtons(), QMessageBox::Ok);
  EXPECT_EQ(message->text(), QStringLiteral("エラー　要素が足りません"));
  EXPECT_EQ(iconFor(MessageKind::Success), QMessageBox::Warning) << "every OK box warns";

  const auto question = makeMessageBox({MessageKind::Question, "a <b>\nc"}, nullptr);
  EXPECT_EQ(question->windowTitle(), caption);
  EXPECT_EQ(question->icon(), QMessageBox::Question);
  EXPECT_EQ(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(question->textFormat(), Qt::PlainText) << "file names are not markup";
}

// The test program runs with an English desktop (LANG, see gui_test_main.cpp); Qt's own
// texts are Japanese all the same, with their access keys as Japanese Windows writes
// them.
TEST(MessageBoxes, StandardButtonsReadJapaneseAndTheReplaceQuestionDefaultsToNo) {
  struct Case {
    DefaultAnswer defaultAnswer;
    QString defaultText;
  };
  const Case cases[] = {{DefaultAnswer::Yes, QStringLiteral("はい(&Y)")},
                        {DefaultAnswer::No, QStringLiteral("いいえ(&N)")}};
  for (const Case& c : cases) {
    const auto question =
        makeMessageBox({MessageKind::Question, kReplaceQuestion}, nullptr, c.defaultAnswer);
    question->show();
    EXPECT_EQ(question->button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(question->button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
    ASSERT_NE(question->defaultButton(), nullptr);
    EXPECT_EQ(question->defaultButton()->text(), c.defaultText);
    // Enter presses the default button.
    QTest::keyClick(question.get(), Qt::Key_Return);
    EXPECT_EQ(question->clickedButton(), question->defaultButton());
  }
  const auto message = makeMessageBox(errorMessage("エラー"), nullptr);
  message->show();
  EXPECT_EQ(message->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
}

TEST(MessageBoxes, UseTheDialogsFontAsMenusAndTipsDo) {
  const auto box = makeMessageBox(errorMessage("エラー"), nullptr);
  EXPECT_EQ(box->font().pointSize(), kDialogPointSize);
  EXPECT_EQ(QApplication::font("QMenu").pointSize(), kDialogPointSize);
  EXPECT_EQ(QApplication::font("QTipLabel").pointSize(), kDialogPointSize);
}

// The chooser's detail view names each row's type, which Qt's own Japanese texts
// leave English for a folder.
TEST(FolderChooser, NamesTheTypeOfEachRowInJapanese) {
  TempDir dir;
  const QFileInfo folder(QString::fromStdString(dir.path()));
  EXPECT_EQ(QFileIconProvider().type(folder), QStringLiteral("フォルダ"));
}

TEST(FolderChooser, StartsAtTheFolderOfTheStartingPath) {
  TempDir dir;
  const std::string scene = dir.write("shows/s.nuv", "x");
  const QString shows = QString::fromStdString(dir.file("shows"));
  struct Case {
    std::string start;
    QString folder;
  };
  const Case cases[] = {
      {dir.file("shows"), shows},
      {scene, shows},
      {dir.file("shows/gone.nuv"), shows},
      {"c:\\", QDir::homePath()},
      {"", QDir::homePath()},
      {dir.file("missing/s.nuv"), QDir::homePath()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(chooserStartFolder(c.start), c.folder) << c.start;
  }
}

}  // namespace
}  // namespace vesk::gui::testing
