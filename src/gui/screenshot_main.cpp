// Shows the main dialog with a few entries and saves what the screen shows of it as
// a PNG: vesk-screenshot [OUT.png [about]] (default dialog.png); with "about", the
// about box opened over it instead. Run it on a display, e.g. under Xvfb through
// scripts/screenshot.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "about_dialog.h"
#include "application.h"
#include "main_dialog.h"

namespace {

const char* const kFolder = "/home/operator/exhibitions/anatomy-2024/";
const char* const kNames[] = {"heart", "lung", "brain-mri", "knee-joint", "skull"};

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  vesk::gui::setUpApplication(app);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("dialog.png");
  const bool about = argc > 2 && std::strcmp(argv[2], "about") == 0;

  vesk::gui::MainDialog dialog;
  vesk::DialogController& controller = dialog.controller();
  for (const char* name : kNames) {
    const std::string base = std::string(kFolder) + name + "/" + name;
    controller.entryList().workingEntry() = {
        base + ".nuv", base + "_thumb.jpg", base + "_description.png", {}};
    controller.onAdd();
  }
  // Show the second entry as an arrow key would select it.
  controller.onKeyDown(vesk::DialogKey::Up);
  dialog.selectLine(1);
  controller.onSelectionChanged();

  dialog.show();
  int status = 1;
  // Give the window system time to map and activate the window, put the focus on the
  // list, then let it paint before reading it back.
  QTimer::singleShot(300, &dialog, [&] {
    dialog.activateWindow();
    dialog.control(1004)->setFocus();
  });
  vesk::gui::AboutDialog aboutBox(&dialog);
  QWidget* const shown = about ? static_cast<QWidget*>(&aboutBox) : &dialog;
  if (about) QTimer::singleShot(500, &dialog, [&] { aboutBox.show(); });
  QTimer::singleShot(about ? 1100 : 700, &dialog, [&] {
    const QPixmap shot = shown->screen()->grabWindow(shown->winId());
    if (!shot.isNull() && shot.save(out)) {
      std::printf("%s: %dx%d\n", qPrintable(out), shot.width(), shot.height());
      status = 0;
    } else {
      std::fprintf(stderr, "cannot save %s\n", qPrintable(out));
    }
    aboutBox.hide();
    dialog.done(0);
  });
  dialog.exec();
  return status;
}
