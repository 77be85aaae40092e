#pragma once

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/dialog_controller.h"
#include "editor/dialog_view.h"
#include "entry_list_box.h"
#include "message_boxes.h"
#include "preview_cache.h"
#include "preview_tip.h"
#include "problem_window.h"
#include "threaded_build_runner.h"

namespace vesk::gui {

// The title of the main dialog, with its leading blank.
inline constexpr const char* kDialogTitle = " Vesk";

// What the main dialog talks to besides its own controls. Tests replace them;
// left empty, the dialog uses message boxes, the folder chooser, the real check and
// build, and runs the problem window modally.
struct DialogServices {
  MessageSink* sink = nullptr;
  ChooseDestination chooseDestination;
  BuildFunction build;
  CheckFunction check;
  // Answers the problem window in place of its modal loop: true for 作成.
  std::function<bool(ProblemWindow& window)> answerProblems;
  // Opens a file as the desktop does (QDesktopServices when empty).
  std::function<bool(const std::string& path)> openFile;
};

// The main dialog: the working entry's three read-only path fields, the entry list
// with Add, Delete, Up and Down, the entry count, the create button and a hint line,
// laid out in dialog units of its font. It accepts dropped files. All behaviour is
// the controller's; the dialog forwards events to it and draws what it is told.
class MainDialog : public QDialog, public DialogView {
  Q_OBJECT

 public:
  explicit MainDialog(DialogServices services = {});
  ~MainDialog() override;

  DialogController& controller() { return controller_; }
  ThreadedBuildRunner& buildRunner() { return runner_; }
  // The control with the given ID (1001 to 1011), null for an unknown ID.
  QWidget* control(int id) const { return controls_.value(id, nullptr); }

  // Opens the about box, modal to the dialog; returns at once.
  void showAbout();
  // The item that opens the about box: in the system menu on Windows, in the
  // dialog's context menu elsewhere.
  QAction* aboutAction() const { return aboutAction_; }
  // 確認ページを開く, in the dialog's context menu.
  QAction* openReportAction() const { return openReportAction_; }
  // The picture preview shown while the cursor rests on a path field or a line.
  PreviewTip* previewTip() const { return tip_; }

  // DialogView.
  void setListLines(const std::vector<std::string>& lines) override;
  void selectLine(int index) override;
  int selectedLine() const override;
  void setCountText(const std::string& text) override;
  void setPathFields(const std::string& scenePath, const std::string& thumbnailPath,
                     const std::string& descriptionPath) override;
  ViewRect listBoxRect() const override;
  ViewPoint cursorPosition() const override;
  ViewRect lineRect(int index) const override;
  bool showProblems(const std::vector<ProblemLine>& lines, bool canCreate) override;
  bool openFile(const std::string& path) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 private:
  void buildControls();
  void addAboutToSystemMenu();
  // Shows the pictures of what lies at `pos` in `watched` (a path field or the
  // list's viewport); false when `watched` is neither.
  bool showPreview(QWidget* watched, QPoint pos, QPoint globalPos);

  std::function<bool(ProblemWindow& window)> answerProblems_;
  std::function<bool(const std::string& path)> openFile_;
  std::unique_ptr<MessageBoxSink> boxSink_;
  MessageSink& sink_;
  ThreadedBuildRunner runner_;
  DialogController controller_;

  QMap<int, QWidget*> controls_;
  QLineEdit* sceneField_ = nullptr;
  QLineEdit* thumbnailField_ = nullptr;
  QLineEdit* descriptionField_ = nullptr;
  QLineEdit* countField_ = nullptr;
  EntryListBox* list_ = nullptr;
  QAction* aboutAction_ = nullptr;
  QAction* openReportAction_ = nullptr;
  PreviewCache previews_;
  PreviewTip* tip_ = nullptr;
};

}  // namespace vesk::gui
