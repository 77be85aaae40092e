#include "application.h"

#include <QIcon>

#include "dialog_font.h"
#include "qt_translations.h"

// The resources live in a static library, so they are registered by hand.
static void registerResources() {
  Q_INIT_RESOURCE(vesk);
}

namespace vesk::gui {

BareArguments::BareArguments(const char* programName)
    : name_(programName != nullptr && *programName != '\0' ? programName : "vesk") {
  argv_[0] = name_.data();
}

void setUpApplication(QApplication& app) {
  registerResources();
  app.setWindowIcon(QIcon(QStringLiteral(":/vesk/vesk.png")));
  installJapaneseQtTexts(app);
  // Without a class name this also drops the desktop's own fonts for menus, tips
  // and message boxes, which would otherwise be a third smaller.
  QApplication::setFont(dialogFont(kDialogPointSize));
}

}  // namespace vesk::gui
