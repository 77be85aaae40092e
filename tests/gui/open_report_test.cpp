#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <filesystem>

#include "dialog_fixture.h"
#include "messages/report_texts.h"

namespace vesk::gui::testing {
namespace {

using OpenReport = DialogTest;

// The texts of the context menu the dialog shows for a right click.
QStringList contextMenuTexts(MainDialog& dialog) {
  QStringList texts;
  QTimer::singleShot(0, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (const QAction* action : menu->actions()) texts << action->text();
      menu->close();
    }
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), dialog.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&dialog, &event);
  return texts;
}

TEST_F(OpenReport, TheContextMenuOffersItAndItOpensThePageOfThePackageJustCreated) {
  EXPECT_EQ(contextMenuTexts(*dialog).value(0), QString::fromUtf8(kOpenReportMenuText));

  dialog->openReportAction()->trigger();
  EXPECT_EQ(sink.messages, std::vector<std::string>{kReportNoPackageMessage});
  EXPECT_TRUE(openedFiles.empty());

  TempDir dir;
  addRealEntryAndChooseOut(dir);
  click(1007);
  sink.messages.clear();

  dialog->openReportAction()->trigger();
  EXPECT_TRUE(sink.messages.empty()) << sink.messages.front();
  EXPECT_EQ(openedFiles, std::vector<std::string>{dir.file("out/vesk-report.html")});
  EXPECT_NE(dir.read("out/vesk-report.html").find("00 heart.nuv"), std::string::npos);
}

}  // namespace
}  // namespace vesk::gui::testing
