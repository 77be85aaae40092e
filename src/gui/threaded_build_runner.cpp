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
    dialog.showState(task.service());
    if (task.ended() && !ended) {
      ended = true;
      loop.quit();
    }
  };
  connect(&dialog, &CreateProgressDialog::cancelPressed, &dialog, [&] {
    task.requestCancel();
    dialog.showState(task.state());
  });

  task.start(job);
  QTimer::singleShot(kProgressWindowDelayMs, &dialog, [&] {
    if (ended) return;
    dialog.show();
    emit progressOpened(&dialog);
    dialog.showState(task.state());
  });
  if (!ended) loop.exec();
  dialog.hide();
  task.finish();
  return !task.cancelRequested();
}

}  // namespace vesk::gui
