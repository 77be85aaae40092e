#pragma once

#include <QItemSelectionModel>
#include <QListWidget>

namespace vesk::gui {

// The entry list box with the selection rules of a single-selection list box of the
// platform's dialogs: once it holds lines, one of them is always selected. A left
// click on a line selects it, also with Ctrl held; a left click below the last line
// selects the last line; Ctrl+Space, right and middle clicks leave the selection
// alone. `selectionReported` is emitted for every selection change the operator
// makes and for every left click that lands in the list while it holds lines, even
// when the selection stays the same, so that the dialog can judge each click.
// Selections made through the widget's functions while its signals are blocked are
// not reported.
class EntryListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit EntryListBox(QWidget* parent = nullptr);

 signals:
  void selectionReported();

 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                       const QEvent* event) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // True while a left press is handled: its selection change is reported once, at
  // its end.
  bool pressing_ = false;
};

}  // namespace vesk::gui
