// Runs the dialog tests inside one application object, on Qt's offscreen platform
// unless another one is asked for, with an English desktop: the dialog's windows must
// be Japanese whatever the desktop's language is.
#include <gtest/gtest.h>

#include <QApplication>

#include "application.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("LANG", "en_US.UTF-8");
  qputenv("LANGUAGE", "en_US");
  qunsetenv("LC_ALL");
  qunsetenv("LC_MESSAGES");
  QApplication app(argc, argv);
  vesk::gui::setUpApplication(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
