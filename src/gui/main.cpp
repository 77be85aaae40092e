#include <QApplication>

#include "application.h"
#include "main_dialog.h"

int main(int argc, char* argv[]) {
  // No command line: every argument is ignored, Qt's own options included.
  vesk::gui::BareArguments arguments(argc > 0 ? argv[0] : nullptr);
  QApplication app(arguments.argc(), arguments.argv());
  vesk::gui::setUpApplication(app);
  vesk::gui::MainDialog dialog;
  dialog.exec();
  return 0;
}
