#include "threaded_build_runner.h"

#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace vesk::gui {

ThreadedBuildRunner::ThreadedBuildRunner(QWidget* owner, MessageSink& sink)
    : owner_(owner), sink_(sink) {}

bool ThreadedBuildRunner::run(ProgressStage stage, const BackgroundJob& job) {
  CreateProgressDialog dialog(owner_.data(), stage);
  QEventLoop loop;
  bool ended = false;
  std::function<void()> serve;
  // Queued on the window itself: should the window go before the call runs, the call
  // goes with it.
  BackgroundTask task(stage, sink_, [&dialog, &serve] {
    QMetaObject::invokeMethod(
        &dialog, [&serve] { serve(); }, Qt::QueuedConnection);
  });
  serve = [&] {
    const ProgressState state = task.service();
    dialog.showState(state);
    if (task.ended() && !ended) {
      ended = true;
      loop.quit();
    }
  };
  connect(&dialog, &CreateProgressDialog::cancelPressed, &dialog, [&] {
    task.requestCancel();
    dialog.showState(task.state());
  });

  // The window opens once the work has taken a while, never over a message of the
  // job's being answered: a modal window opened later would block that box, and the
  // job waits for its answer.
  std::function<void()> open;
  open = [&] {
    if (ended) return;
    if (task.answering()) {
      QTimer::singleShot(kProgressWindowDelayMs, &dialog, open);
      return;
    }
    dialog.show();
    emit progressOpened(&dialog);
    dialog.showState(task.state());
  };
  task.start(job);
  QTimer::singleShot(kProgressWindowDelayMs, &dialog, open);
  if (!ended) loop.exec();
  dialog.hide();
  task.finish();
  return !task.cancelRequested();
}

}  // namespace vesk::gui
