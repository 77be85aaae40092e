#include "folder_chooser.h"

#include "editor/chooser_start.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>

namespace vesk::gui {

QString chooserStartFolder(const std::string& startPath) {
  const std::string folder = vesk::chooserStartFolder(startPath);
  return folder.empty() ? QDir::homePath() : QString::fromStdString(folder);
}

std::string chooseDestinationFolder(QWidget* owner, const std::string& startPath) {
  // Qt's file dialog reads and writes its history, last folder and view in the
  // user's settings file (QtProject.conf) whatever the caller wants. Pointing the
  // user settings at a folder that lives only as long as this call keeps anything
  // from being saved between runs, and keeps other programs' history out.
  QTemporaryDir scratch;
  if (scratch.isValid()) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, scratch.path());
  }
  // Qt's own chooser, not the desktop's: only Qt's speaks Japanese through Qt's
  // translations whatever the desktop's language, and it uses the dialog's font.
  const QString folder = QFileDialog::getExistingDirectory(
      owner, QString::fromUtf8(kChooseFolderTitle), chooserStartFolder(startPath),
      QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  return folder.toStdString();
}

}  // namespace vesk::gui
