#include "threaded_build_runner.h"

#include <QEventLoop>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "message_boxes.h"

namespace vesk::gui {

namespace {

// The build's progress as the worker reports it, handed to the window on the GUI
// thread. At most one update is queued at a time; it shows the latest state.
class ForwardedProgress : public BuildProgress {
 public:
  explicit ForwardedProgress(CreateProgressDialog& dialog) : dialog_(dialog) {}

  void started(std::uint64_t totalBytes, std::uint64_t totalFiles) override {
    {
      const std::lock_guard lock(mutex_);
      state_.started = true;
      state_.totalBytes = totalBytes;
      state_.totalFiles = totalFiles;
    }
    post();
  }
  void fileStarted(const std::string& source) override {
    {
      const std::lock_guard lock(mutex_);
      state_.currentFile = QString::fromStdString(source);
    }
    post();
  }
  void advanced(std::uint64_t bytesDone, std::uint64_t filesDone) override {
    {
      const std::lock_guard lock(mutex_);
      state_.bytesDone = bytesDone;
      state_.filesDone = filesDone;
    }
    post();
  }
  bool cancelRequested() override { return dialog_.cancelRequested(); }

 private:
  void post() {
    if (posted_.exchange(true)) return;
    // Queued on the window itself: should the window go before the call runs, the
    // call goes with it.
    QMetaObject::invokeMethod(
        &dialog_,
        [this] {
          posted_ = false;
          CopyState state;
          {
            const std::lock_guard lock(mutex_);
            state = state_;
          }
          dialog_.showState(state);
        },
        Qt::QueuedConnection);
  }

  CreateProgressDialog& dialog_;
  std::mutex mutex_;
  CopyState state_;
  std::atomic<bool> posted_{false};
};

}  // namespace

ThreadedBuildRunner::ThreadedBuildRunner(QWidget* owner, MessageSink& sink)
    : owner_(owner), sink_(sink) {}

BuildReport ThreadedBuildRunner::run(const BuildJob& job) {
  CreateProgressDialog dialog(owner_.data());
  ForwardedProgress progress(dialog);
  GuiThreadSink workerSink(sink_, dialog);
  QEventLoop loop;

  BuildReport report;
  std::exception_ptr failure;
  bool finished = false;
  std::thread worker([&] {
    try {
      report = job(workerSink, &progress);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(
        &loop,
        [&] {
          finished = true;
          loop.quit();
        },
        Qt::QueuedConnection);
  });

  dialog.show();
  emit progressOpened(&dialog);
  if (!finished) loop.exec();
  worker.join();
  dialog.hide();
  if (failure) std::rethrow_exception(failure);
  return report;
}

}  // namespace vesk::gui
