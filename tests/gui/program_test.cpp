#include <QCoreApplication>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <filesystem>

#include "dialog_fixture.h"
#include "folder_chooser.h"

namespace vesk::gui::testing {
namespace {

// Every file below `folder`, as paths relative to it.
QStringList filesBelow(const std::string& folder) {
  const QString root = QString::fromStdString(folder);
  QStringList files;
  QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next().mid(root.size() + 1);
  return files;
}

// Picks the folder named in VESK_TEST_CHOOSE in the folder chooser. Run by the test
// below in a process of its own, so that the chooser meets a fresh home folder.
TEST(FolderChooserInOwnProcess, PicksTheFolderItIsTold) {
  const QString target = qEnvironmentVariable("VESK_TEST_CHOOSE");
  if (target.isEmpty()) GTEST_SKIP() << "run by NothingIsSavedBetweenRuns";
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (chooser == nullptr) return;
    poll.stop();
    // Typed into the name field as an operator would: selectFile() goes through the
    // chooser's file model, which fills in the background and lost the race under load.
    auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(target);
    static_cast<QDialog*>(chooser)->accept();  // accepts as the file dialog does
  });
  poll.start(20);
  EXPECT_EQ(chooseDestinationFolder(nullptr, target.toStdString() + "/x.nuv"),
            target.toStdString());
}

TEST(FolderChooser, NothingIsSavedBetweenRuns) {
  TempDir dir;
  for (const char* folder : {"home", "config", "out"}) {
    std::filesystem::create_directories(dir.file(folder));
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("HOME", QString::fromStdString(dir.file("home")));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.file("config")));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("VESK_TEST_CHOOSE", QString::fromStdString(dir.file("out")));
  QProcess run;
  run.setProcessEnvironment(env);
  run.setProcessChannelMode(QProcess::MergedChannels);
  run.start(QCoreApplication::applicationFilePath(),
            {"--gtest_filter=FolderChooserInOwnProcess.PicksTheFolderItIsTold"});
  ASSERT_TRUE(run.waitForFinished(60000));
  const QString output = QString::fromLocal8Bit(run.readAll());
  ASSERT_EQ(run.exitCode(), 0) << output.toStdString();
  ASSERT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
  EXPECT_EQ(filesBelow(dir.file("config")), QStringList()) << "settings were written";
  EXPECT_EQ(filesBelow(dir.file("home")), QStringList()) << "settings were written";
}

// Qt's own options are not taken from the command line: with them taken, an unknown
// platform plugin would end the program at once.
TEST(Program, TakesNoCommandLineOptions) {
  QProcess run;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  run.setProcessEnvironment(env);
  run.setProcessChannelMode(QProcess::MergedChannels);
  run.start(QStringLiteral(VESK_GUI_PATH),
            {"-platform", "no-such-platform", "-reverse", "-style", "no-such-style"});
  ASSERT_TRUE(run.waitForStarted());
  EXPECT_FALSE(run.waitForFinished(3000))
      << "the program ended: " << QString::fromLocal8Bit(run.readAll()).toStdString();
  run.kill();
  run.waitForFinished();
}

}  // namespace
}  // namespace vesk::gui::testing
