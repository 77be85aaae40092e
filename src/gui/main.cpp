#include <QApplication>

#include "application.h"
#include "main_dialog.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  vesk::gui::setUpApplication(app);
  vesk::gui::MainDialog dialog;
  dialog.exec();
  return 0;
}
