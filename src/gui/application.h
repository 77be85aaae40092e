#pragma once

#include <QApplication>

namespace vesk::gui {

// Prepares the application object for the dialogs: the embedded resources and the
// application icon.
void setUpApplication(QApplication& app);

}  // namespace vesk::gui
