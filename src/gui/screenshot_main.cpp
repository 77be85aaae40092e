// Shows the main dialog holding the sample's entries and saves what the screen shows
// of it as a PNG: vesk-screenshot OUT.png SAMPLE_FOLDER
// [thumbnail|description|line|about|problems|progress|replace|chooser].
// With a last argument the cursor rests on the thumbnail field, the description
// field or the second line, and the picture preview is saved with the dialog; or a
// window opened over the dialog is saved instead: the about box, the problem window
// of a create (what the check finds in a damaged copy of the entries), the progress
// window of a create of the sample halfway, the replace
// question, or the destination folder chooser opened at the sample's folder. Refuses
// (exit 3, nothing saved) when the screen is smaller than the windows. Run it on a
// display, e.g. under Xvfb through scripts/screenshot.
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>

#include "about_dialog.h"
#include "application.h"
#include "create_progress_dialog.h"
#include "editor/problem_lines.h"
#include "main_dialog.h"
#include "message_boxes.h"
#include "messages/dialog_texts.h"
#include "messages/messages.h"
#include "package/package_check.h"
#include "problem_window.h"

namespace {

// Entries from the sample: one per folder, with its scene, *_thumb and *_desc picture
// (JPEG or PNG).
void addSampleEntries(vesk::gui::MainDialog& dialog, const QString& sample) {
  vesk::DialogController& controller = dialog.controller();
  const QDir root(sample);
  for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
    const QDir entry(root.filePath(folder));
    const QStringList scenes = entry.entryList({QStringLiteral("*.nuv")});
    const QStringList thumbnails =
        entry.entryList({QStringLiteral("*_thumb.jpg"), QStringLiteral("*_thumb.png")});
    const QStringList descriptions =
        entry.entryList({QStringLiteral("*_desc.png"), QStringLiteral("*_desc.jpg")});
    if (scenes.isEmpty() || thumbnails.isEmpty() || descriptions.isEmpty()) continue;
    controller.entryList().workingEntry() = {entry.filePath(scenes[0]).toStdString(),
                                             entry.filePath(thumbnails[0]).toStdString(),
                                             entry.filePath(descriptions[0]).toStdString(),
                                             {}};
    controller.onAdd();
  }
}

// True once every picture of the preview tip is shown (none is still being read).
bool previewComplete(const vesk::gui::PreviewTip* tip) {
  if (!tip->isVisible()) return false;
  for (const QLabel* label : tip->findChildren<QLabel*>()) {
    if (label->text() == QStringLiteral("読み込み中…")) return false;
  }
  return true;
}

// Every control lies inside the dialog's client area.
bool controlsInside(const vesk::gui::MainDialog& dialog) {
  for (int id = 1001; id <= 1011; ++id) {
    const QWidget* control = dialog.control(id);
    if (control != nullptr && !dialog.rect().contains(control->geometry())) return false;
  }
  for (const QLabel* label : dialog.findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (!dialog.rect().contains(label->geometry())) return false;
  }
  return true;
}

// What the check finds when a few of the sample's entries are made wrong: an error
// and two warnings, as the operator would see them. `destination` need not exist;
// nothing is written.
std::vector<vesk::ProblemLine> sampleProblems(const vesk::DialogController& controller,
                                              const QString& destination) {
  std::vector<vesk::ExhibitionEntry> entries = controller.entryList().entries();
  if (entries.size() < 6) return {};
  entries[1].thumbnailPath = entries[1].descriptionPath;  // a portrait thumbnail
  entries[3].scenePath =                                  // a scene renamed since
      QFileInfo(QString::fromStdString(entries[3].scenePath))
          .dir()
          .filePath(QStringLiteral("kidney-v2.nuv"))
          .toStdString();
  entries.push_back(entries[5]);  // the same scene twice
  vesk::CheckRequest request;
  request.entries = entries;
  request.destination = destination.toStdString();
  return vesk::problemLinesOf(vesk::checkPackage(request));
}

// A create of the sample halfway through its fourth entry's scene.
vesk::ProgressState sampleProgress(const vesk::DialogController& controller) {
  vesk::ProgressState state;
  state.start(301977, 81);
  state.beginItem(controller.entryList().entries().at(3).scenePath);
  state.advance(153600, 40);
  return state;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: vesk-screenshot OUT.png SAMPLE_FOLDER "
                 "[thumbnail|description|line|about|problems|progress|replace|chooser]\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString sample = QString::fromLocal8Bit(argv[2]);
  const QString hover = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
  vesk::gui::BareArguments arguments(argv[0]);
  QApplication app(arguments.argc(), arguments.argv());
  vesk::gui::setUpApplication(app);

  vesk::gui::MainDialog dialog;
  addSampleEntries(dialog, sample);
  // Show the second entry as an arrow key would select it.
  vesk::DialogController& controller = dialog.controller();
  controller.onKeyDown(vesk::DialogKey::Up);
  dialog.selectLine(1);
  controller.onSelectionChanged();

  dialog.show();
  int status = 1;
  // Give the window system time to map and activate the window, put the focus on the
  // list, then let it paint before reading it back.
  QTimer::singleShot(300, &dialog, [&] {
    dialog.activateWindow();
    dialog.control(1004)->setFocus();
  });
  // The window shown over the dialog, if one is asked for.
  std::unique_ptr<QWidget> over;
  const QDir sampleParent = QFileInfo(sample).dir();
  if (hover == QStringLiteral("about")) {
    over = std::make_unique<vesk::gui::AboutDialog>(&dialog);
  } else if (hover == QStringLiteral("problems")) {
    const QString destination = sampleParent.filePath(QStringLiteral("展示パッケージ"));
    over = std::make_unique<vesk::gui::ProblemWindow>(sampleProblems(controller, destination),
                                                      false, &dialog);
  } else if (hover == QStringLiteral("replace")) {
    over = vesk::gui::makeMessageBox({vesk::MessageKind::Question, vesk::kReplaceQuestion}, &dialog,
                                     vesk::DefaultAnswer::No);
  } else if (hover == QStringLiteral("progress")) {
    auto window =
        std::make_unique<vesk::gui::CreateProgressDialog>(&dialog, vesk::ProgressStage::Create);
    window->showState(sampleProgress(controller));
    over = std::move(window);
  } else if (hover == QStringLiteral("chooser")) {
    // As the create opens it (folder_chooser.cpp), at the sample's folder.
    auto chooser = std::make_unique<QFileDialog>(
        &dialog, QString::fromUtf8(vesk::kChooseFolderTitle), sampleParent.path());
    chooser->setFileMode(QFileDialog::Directory);
    chooser->setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    chooser->selectFile(QFileInfo(sample).fileName());
    over = std::move(chooser);
  }
  if (over) QTimer::singleShot(500, &dialog, [&] { over->show(); });
  QTimer::singleShot(600, &dialog, [&] {
    if (hover.isEmpty() || over) return;
    auto* list = qobject_cast<QListWidget*>(dialog.control(1004));
    QWidget* target = hover == QStringLiteral("line")          ? list->viewport()
                      : hover == QStringLiteral("description") ? dialog.control(1003)
                                                               : dialog.control(1002);
    const QPoint at = target == list->viewport()
                          ? list->visualItemRect(list->item(1)).center()
                          : QPoint(target->width() * 3 / 4, target->height() / 2);
    QCursor::setPos(target->mapToGlobal(at));
    QHelpEvent help(QEvent::ToolTip, at, target->mapToGlobal(at));
    QCoreApplication::sendEvent(target, &help);
  });
  QTimer poll;
  int waited = 0;
  int completeAt = -1;
  QObject::connect(&poll, &QTimer::timeout, &dialog, [&] {
    waited += 100;
    // Once the preview is complete, give the window system time to paint it too.
    const bool window = over != nullptr;
    if (!hover.isEmpty() && !window && completeAt < 0 && previewComplete(dialog.previewTip())) {
      completeAt = waited;
    }
    const bool ready =
        hover.isEmpty() || window ? waited >= 1100 : completeAt >= 0 && waited >= completeAt + 500;
    if (!ready && waited < 6000) return;
    poll.stop();
    QScreen* screen = dialog.screen();
    // A window larger than the screen would be saved clipped.
    const QRect screenArea = screen->geometry();
    QRect needed = dialog.frameGeometry();
    if (over) needed = needed.united(over->frameGeometry());
    if (!screenArea.contains(needed)) {
      std::fprintf(stderr, "%s not saved: the screen (%dx%d) is smaller than the window (%dx%d)\n",
                   qPrintable(out), screenArea.width(), screenArea.height(), needed.width(),
                   needed.height());
      status = 3;
      if (over) over->hide();
      dialog.done(0);
      return;
    }
    QPixmap shot;
    if (over) {
      shot = over->screen()->grabWindow(over->winId());
    } else if (hover.isEmpty()) {
      shot = screen->grabWindow(dialog.winId());
    } else {
      // The tip is a window of its own: take the part of the screen that shows both.
      const QRect area = dialog.frameGeometry()
                             .united(dialog.previewTip()->frameGeometry())
                             .adjusted(-8, -8, 8, 8)
                             .intersected(screen->geometry());
      shot = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    }
    if (!shot.isNull() && shot.save(out)) {
      std::printf("%s: %dx%d, controls inside the window: %s\n", qPrintable(out), shot.width(),
                  shot.height(), controlsInside(dialog) ? "yes" : "NO");
      status = 0;
    } else {
      std::fprintf(stderr, "cannot save %s\n", qPrintable(out));
    }
    if (over) over->hide();
    dialog.done(0);
  });
  poll.start(100);
  dialog.exec();
  return status;
}
