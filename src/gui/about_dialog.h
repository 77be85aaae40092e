#pragma once

#include <QDialog>

namespace vesk::gui {

// The text of the menu item that opens the about box.
inline constexpr const char* kAboutMenuText = "バージョン情報 Vesk(&A)...";

// The about box: the application icon, the name and version, and OK.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace vesk::gui
