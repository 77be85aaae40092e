#pragma once

#include <QCoreApplication>
#include <QString>

namespace vesk::gui {

// The folder Qt's own translations are installed in (qt6-translations-l10n on
// Debian).
QString qtTranslationsFolder();

// Makes Qt's own texts (standard buttons, the folder chooser, context menus of text
// fields) Japanese, as the dialog's own texts are, whatever the desktop's language:
// installs qtbase_ja from `folder` into `app` and makes Japanese the default locale.
// False when the translations cannot be loaded; Qt's texts then stay English.
bool installJapaneseQtTexts(QCoreApplication& app, const QString& folder = qtTranslationsFolder());

}  // namespace vesk::gui
