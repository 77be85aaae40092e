#pragma once

#include <QString>
#include <QWidget>
#include <string>

#include "messages/dialog_texts.h"

namespace vesk::gui {

// The folder the chooser opens in for `startPath`: the core's chooser start folder,
// else the home folder.
QString chooserStartFolder(const std::string& startPath);

// Asks the operator for a destination folder, modal to `owner`; its full path, or
// the empty text when the operator cancels.
std::string chooseDestinationFolder(QWidget* owner, const std::string& startPath);

}  // namespace vesk::gui
