#include "entry_list_box.h"

#include <QMouseEvent>

namespace vesk::gui {

EntryListBox::EntryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::itemSelectionChanged, this, [this] {
    if (!pressing_) emit selectionReported();
  });
}

QItemSelectionModel::SelectionFlags EntryListBox::selectionCommand(const QModelIndex& index,
                                                                   const QEvent* event) const {
  if (event != nullptr) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const Qt::MouseButtons buttons =
            event->type() == QEvent::MouseMove ? mouse->buttons() : mouse->button();
        if (!(buttons & Qt::LeftButton)) return QItemSelectionModel::NoUpdate;
        break;
      }
      case QEvent::MouseButtonRelease:
        return QItemSelectionModel::NoUpdate;
      default:
        break;
    }
  }
  // Never clear the selection, and never toggle the selected line off (Ctrl+click,
  // Ctrl+Space): a valid index is selected alone, anything else changes nothing.
  if (!index.isValid()) return QItemSelectionModel::NoUpdate;
  return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void EntryListBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    // Right and middle clicks neither select nor move the focus line.
    event->accept();
    return;
  }
  pressing_ = true;
  QListWidget::mousePressEvent(event);
  if (count() > 0 && !indexAt(event->position().toPoint()).isValid()) {
    // Below the last line: the last line is the one hit.
    setCurrentRow(count() - 1, QItemSelectionModel::ClearAndSelect);
  }
  pressing_ = false;
  if (count() > 0) emit selectionReported();
}

void EntryListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  // A double click is a second click: judged like the first.
  mousePressEvent(event);
}

void EntryListBox::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  QListWidget::mouseReleaseEvent(event);
}

}  // namespace vesk::gui
