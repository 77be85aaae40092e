#pragma once

#include <QDialog>

#include "messages/dialog_texts.h"

namespace vesk::gui {

// The about box: the application icon, the name and version, and OK.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent);
};

}  // namespace vesk::gui
