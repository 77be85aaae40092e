#include "application.h"

#include <QIcon>

// The resources live in a static library, so they are registered by hand.
static void registerResources() {
  Q_INIT_RESOURCE(vesk);
}

namespace vesk::gui {

void setUpApplication(QApplication& app) {
  registerResources();
  app.setWindowIcon(QIcon(QStringLiteral(":/vesk/vesk.png")));
}

}  // namespace vesk::gui
