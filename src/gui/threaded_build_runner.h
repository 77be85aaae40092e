#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "create_progress_dialog.h"
#include "editor/build_runner.h"
#include "messages/message_sink.h"

namespace vesk::gui {

// Runs the check before a create, and the create, as a BackgroundTask while the GUI
// thread shows a modal progress window (after kProgressWindowDelayMs) and goes on
// handling events, so that every window keeps repainting. The task's wakes reach the window as
// queued calls; Cancel is the task's. Messages the job reports are shown by `sink` on the GUI
// thread, a success message once the progress window has closed.
class ThreadedBuildRunner : public QObject, public BuildRunner {
  Q_OBJECT

 public:
  ThreadedBuildRunner(QWidget* owner, MessageSink& sink);

  bool run(ProgressStage stage, const BackgroundJob& job) override;

 signals:
  // The progress window of a run has been opened; it draws the latest state next.
  void progressOpened(CreateProgressDialog* dialog);

 private:
  QPointer<QWidget> owner_;
  MessageSink& sink_;
};

}  // namespace vesk::gui
