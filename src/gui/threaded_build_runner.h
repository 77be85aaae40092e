#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "create_progress_dialog.h"
#include "editor/build_runner.h"
#include "messages/message_sink.h"

namespace vesk::gui {

// Runs the build of a create on a worker thread while the GUI thread shows a modal
// progress window and goes on handling events, so that every window keeps
// repainting. Progress reaches the window through queued calls, coalesced so that
// a fast copy cannot flood the event queue; Cancel answers the build's
// cancelRequested(). Messages the build reports are shown by `sink` on the GUI
// thread, the worker waiting until each box is closed.
class ThreadedBuildRunner : public QObject, public BuildRunner {
  Q_OBJECT

 public:
  ThreadedBuildRunner(QWidget* owner, MessageSink& sink);

  BuildReport run(const BuildJob& job) override;

 signals:
  // The progress window of a run has been opened.
  void progressOpened(CreateProgressDialog* dialog);

 private:
  QPointer<QWidget> owner_;
  MessageSink& sink_;
};

}  // namespace vesk::gui
