#include "qt_translations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace vesk::gui {

namespace {

// The file types the folder chooser's detail view names where no MIME type's own
// comment does, which qtbase_ja leaves English: "Folder" in every row otherwise.
class FileTypeTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                    int /*n*/) const override {
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0 &&
        qstrcmp(context, "QFileSystemModel") != 0) {
      return {};
    }
    static const struct {
      const char* english;
      const char* japanese;
    } kTexts[] = {{"Folder", "フォルダ"},         {"File Folder", "ファイル フォルダ"},
                  {"Shortcut", "ショートカット"}, {"Drive", "ドライブ"},
                  {"File", "ファイル"},           {"%1 File", "%1 ファイル"}};
    for (const auto& text : kTexts) {
      if (qstrcmp(source, text.english) == 0) return QString::fromUtf8(text.japanese);
    }
    return {};
  }
};

}  // namespace

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
  if (!QCoreApplication::installTranslator(translator)) return false;
  return QCoreApplication::installTranslator(new FileTypeTexts(&app));
}

}  // namespace vesk::gui
