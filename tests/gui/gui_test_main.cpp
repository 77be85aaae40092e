// Runs the dialog tests inside one application object, on Qt's offscreen platform
// unless another one is asked for.
#include <gtest/gtest.h>

#include <QApplication>

#include "application.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  vesk::gui::setUpApplication(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
