#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "messages/dialog_texts.h"

namespace vesk::gui {

// The folder the chooser opens in for `startPath`: the path itself when it is a
// folder, its folder when it names a file (also one that is gone), the home folder
// when neither exists or the path is not absolute (as "c:\\" is on POSIX).
QString chooserStartFolder(const std::string& startPath);

// Asks the operator for a destination folder, modal to `owner`; its full path, or
// the empty text when the operator cancels.
std::string chooseDestinationFolder(QWidget* owner, const std::string& startPath);

}  // namespace vesk::gui
