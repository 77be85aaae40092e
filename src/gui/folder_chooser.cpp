#include "folder_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace vesk::gui {

QString chooserStartFolder(const std::string& startPath) {
  const QFileInfo start(QString::fromStdString(startPath));
  if (startPath.empty() || !start.isAbsolute()) return QDir::homePath();
  if (start.isDir()) return start.filePath();
  // Usually the path of a dropped file, which may be gone by now.
  if (QFileInfo(start.absolutePath()).isDir()) return start.absolutePath();
  return QDir::homePath();
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
