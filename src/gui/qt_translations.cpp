#include "qt_translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vesk::gui {

QString qtTranslationsFolder() {
  return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool installJapaneseQtTexts(QCoreApplication& app, const QString& folder) {
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  QLocale::setDefault(japanese);
  // The translator lives as long as the application object, its parent.
  auto* translator = new QTranslator(&app);
  if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace vesk::gui
