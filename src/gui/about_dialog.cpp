#include "about_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "dialog_font.h"
#include "vesk_version.h"

namespace vesk::gui {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint) {
  setWindowTitle(QString::fromUtf8(kAboutTitle));
  setFont(dialogFont(9));
  const DialogUnits du(font());
  setFixedSize(du.x(170), du.y(62));

  auto* icon = new QLabel(this);
  const QRect iconRect = du.rect(14, 14, 20, 20);
  icon->setGeometry(iconRect);
  const int side = std::min(iconRect.width(), iconRect.height());
  icon->setPixmap(QApplication::windowIcon().pixmap(side, side));
  icon->setAlignment(Qt::AlignCenter);

  auto* name = new QLabel(QString::fromUtf8(kAboutName), this);
  name->setTextFormat(Qt::PlainText);
  name->setGeometry(du.rect(42, 14, 114, 8));

  auto* purpose = new QLabel(QString::fromUtf8(kAboutPurpose), this);
  purpose->setTextFormat(Qt::PlainText);
  purpose->setGeometry(du.rect(42, 26, 114, 8));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(du.rect(113, 41, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace vesk::gui
