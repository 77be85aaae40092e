#include "folder_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

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
  const QString folder =
      QFileDialog::getExistingDirectory(owner, QString::fromUtf8(kChooseFolderTitle),
                                        chooserStartFolder(startPath), QFileDialog::ShowDirsOnly);
  return folder.toStdString();
}

}  // namespace vesk::gui
