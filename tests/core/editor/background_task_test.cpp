#include "editor/background_task.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/recording_sink.h"

namespace vesk {
namespace {

using namespace std::chrono_literals;

// The dialog's side of a task: its wakes, and a loop that services them as a window's
// event loop would, until the job has ended.
class DialogThread {
 public:
  std::function<void()> waker() {
    return [this] {
      const std::lock_guard lock(mutex_);
      ++pending_;
      ++wakes;
      woken_.notify_all();
    };
  }

  // Services every wake until the task ends; `draw` sees each state serviced. Gives
  // up after a generous while, so that a broken task fails instead of hanging.
  void serve(
      BackgroundTask& task,
      const std::function<void(const ProgressState&)>& draw = [](const ProgressState&) {}) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
      {
        std::unique_lock lock(mutex_);
        if (!woken_.wait_for(lock, 100ms, [&] { return pending_ > 0; })) continue;
        pending_ = 0;
      }
      draw(task.service());
      if (task.ended()) return;
    }
    ADD_FAILURE() << "the job did not end";
    task.requestCancel();
  }

  std::atomic<int> wakes{0};

 private:
  std::mutex mutex_;
  std::condition_variable woken_;
  int pending_ = 0;
};

// Records the thread of each message and question it is given.
struct ThreadSink : test::RecordingSink {
  void showMessage(const Message& message) override {
    threads.push_back(std::this_thread::get_id());
    RecordingSink::showMessage(message);
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    threads.push_back(std::this_thread::get_id());
    return RecordingSink::askYesNo(text, defaultAnswer);
  }
  std::vector<std::thread::id> threads;
};

TEST(BackgroundTask, ShowsTheWorkersMessagesOnTheDialogThreadAndSuccessOnlyAfterTheEnd) {
  DialogThread dialog;
  ThreadSink sink;
  sink.answers = {true};
  BackgroundTask task(ProgressStage::Create, sink, dialog.waker());
  std::thread::id workerThread;
  std::vector<std::string> seenByWorker;
  task.start([&](MessageSink& worker, BuildProgress& progress) {
    workerThread = std::this_thread::get_id();
    progress.started(2048, 2);
    progress.fileStarted("/src/a");
    progress.advanced(2048, 2);
    worker.showMessage(warningMessage("warning"));
    // The worker goes on only once the box is closed.
    seenByWorker = sink.messages;
    const bool yes = worker.askYesNo("question?", DefaultAnswer::No);
    worker.showMessage(successMessage(yes ? "done, yes" : "done, no"));
  });

  ProgressState last;
  std::vector<std::string> shownBeforeEnd;
  dialog.serve(task, [&](const ProgressState& state) {
    last = state;
    if (!task.ended()) shownBeforeEnd = sink.messages;
  });
  EXPECT_EQ(shownBeforeEnd, std::vector<std::string>{"warning"}) << "no success box yet";
  EXPECT_EQ(sink.messages, std::vector<std::string>{"warning"});
  task.finish();

  EXPECT_EQ(seenByWorker, std::vector<std::string>{"warning"});
  EXPECT_EQ(sink.questions, std::vector<std::string>{"question?"});
  EXPECT_EQ(sink.questionDefaults, std::vector<DefaultAnswer>{DefaultAnswer::No})
      << "the question keeps its default answer on its way to the dialog";
  EXPECT_EQ(sink.messages, (std::vector<std::string>{"warning", "done, yes"}));
  for (const auto& thread : sink.threads) EXPECT_EQ(thread, std::this_thread::get_id());
  EXPECT_NE(workerThread, std::this_thread::get_id());
  EXPECT_EQ(progressCountsText(last), "2.0 KB / 2.0 KB　2 / 2 ファイル");
  EXPECT_EQ(progressItemText(last), "コピー中: /src/a");
  EXPECT_FALSE(task.cancelRequested());
}

// A box's own event loop may serve a wake while the box is open: the task still says
// a message is being answered, so that no progress window opens over the box.
TEST(BackgroundTask, AMessageBeingAnsweredStaysSoThroughANestedService) {
  DialogThread dialog;
  struct NestingSink : test::RecordingSink {
    void showMessage(const Message& message) override {
      RecordingSink::showMessage(message);
      if (task == nullptr) return;
      answeringBefore = task->answering();
      task->service();  // the nested loop's wake
      answeringAfter = task->answering();
    }
    BackgroundTask* task = nullptr;
    bool answeringBefore = false;
    bool answeringAfter = false;
  } sink;
  BackgroundTask task(ProgressStage::Create, sink, dialog.waker());
  sink.task = &task;
  task.start(
      [](MessageSink& worker, BuildProgress&) { worker.showMessage(warningMessage("warning")); });
  dialog.serve(task);
  task.finish();
  EXPECT_EQ(sink.messages, std::vector<std::string>{"warning"});
  EXPECT_TRUE(sink.answeringBefore);
  EXPECT_TRUE(sink.answeringAfter);
  EXPECT_FALSE(task.answering());
}

TEST(BackgroundTask, CancelReachesTheJobAndTheWindow) {
  DialogThread dialog;
  ThreadSink sink;
  BackgroundTask task(ProgressStage::Check, sink, dialog.waker());
  task.start([](MessageSink& worker, BuildProgress& progress) {
    progress.started(0, 3);
    progress.fileStarted("/s/a.nuv");
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!progress.cancelRequested() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(1ms);
    }
    worker.showMessage(errorMessage("stopped"));
  });
  std::vector<std::string> items;
  dialog.serve(task, [&](const ProgressState& state) {
    items.push_back(progressItemText(state));
    // The operator presses Cancel once the first entry shows.
    if (state.currentItem == "/s/a.nuv" && !task.cancelRequested()) {
      task.requestCancel();
      EXPECT_EQ(progressItemText(task.state()), "中止しています…");
    }
  });
  task.finish();
  EXPECT_TRUE(task.cancelRequested());
  EXPECT_EQ(items.back(), "中止しています…");
  EXPECT_EQ(sink.messages, std::vector<std::string>{"stopped"});
}

TEST(BackgroundTask, AFailingJobShowsNoSuccessAndItsExceptionComesBack) {
  DialogThread dialog;
  ThreadSink sink;
  BackgroundTask task(ProgressStage::Create, sink, dialog.waker());
  task.start([](MessageSink& worker, BuildProgress&) {
    worker.showMessage(successMessage("done"));
    throw std::runtime_error("out of memory");
  });
  dialog.serve(task);
  EXPECT_THROW(task.finish(), std::runtime_error);
  EXPECT_TRUE(sink.messages.empty());
}

TEST(BackgroundTask, LeftWithoutFinishItStopsTheJobWithoutHanging) {
  DialogThread dialog;
  ThreadSink sink;
  sink.answers = {true};
  bool answer = true;
  bool sawCancel = false;
  {
    BackgroundTask task(ProgressStage::Create, sink, dialog.waker());
    task.start([&](MessageSink& worker, BuildProgress& progress) {
      answer = worker.askYesNo("question?", DefaultAnswer::Yes);
      sawCancel = progress.cancelRequested();
    });
    // The dialog goes away while the worker waits for its answer.
    while (dialog.wakes == 0) std::this_thread::sleep_for(1ms);
  }
  EXPECT_FALSE(answer);
  EXPECT_TRUE(sawCancel);
  EXPECT_TRUE(sink.questions.empty());
}

}  // namespace
}  // namespace vesk
