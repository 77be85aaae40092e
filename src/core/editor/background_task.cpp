#include "editor/background_task.h"

#include <cassert>
#include <utility>

namespace vesk {

// The job's progress, turned into changes of the shared state.
class BackgroundTask::Progress : public BuildProgress {
 public:
  explicit Progress(BackgroundTask& task) : task_(task) {}

  void started(std::uint64_t totalBytes, std::uint64_t totalFiles) override {
    task_.update([&](ProgressState& s) { s.start(totalBytes, totalFiles); });
  }
  void fileStarted(const std::string& source) override {
    task_.update([&](ProgressState& s) { s.beginItem(source); });
  }
  void advanced(std::uint64_t bytesDone, std::uint64_t filesDone) override {
    task_.update([&](ProgressState& s) { s.advance(bytesDone, filesDone); });
  }
  void finishing() override {
    task_.update([](ProgressState& s) { s.finish(); });
  }
  bool cancelRequested() override { return task_.cancelRequested(); }

 private:
  BackgroundTask& task_;
};

// The job's messages: each waits for the dialog's thread, success excepted.
class BackgroundTask::WorkerSink : public MessageSink {
 public:
  explicit WorkerSink(BackgroundTask& task) : task_(task) {}

  void showMessage(const Message& message) override {
    if (message.kind == MessageKind::Success) {
      task_.keep(message);
      return;
    }
    Request request;
    request.message = &message;
    task_.ask(request);
  }
  bool askYesNo(const std::string& text, DefaultAnswer defaultAnswer) override {
    Request request;
    request.question = &text;
    request.defaultAnswer = defaultAnswer;
    task_.ask(request);
    return request.answer;
  }

 private:
  BackgroundTask& task_;
};

BackgroundTask::BackgroundTask(ProgressStage stage, MessageSink& sink, std::function<void()> wake)
    : sink_(sink), wake_(std::move(wake)) {
  state_.stage = stage;
}

BackgroundTask::~BackgroundTask() {
  if (!worker_.joinable()) return;
  cancelled_ = true;
  {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    if (waiting_ != nullptr) waiting_->answered = true;
  }
  answered_.notify_all();
  worker_.join();
}

void BackgroundTask::start(BackgroundJob job) {
  assert(!worker_.joinable() && "a task runs one job");
  worker_ = std::thread([this, job = std::move(job)] {
    Progress progress(*this);
    WorkerSink sink(*this);
    try {
      job(sink, progress);
    } catch (...) {
      failure_ = std::current_exception();
    }
    ended_ = true;
    wakeOnce();
  });
}

ProgressState BackgroundTask::service() {
  // Cleared first, so that a change made from here on wakes the dialog again.
  posted_ = false;
  std::unique_lock lock(mutex_);
  if (waiting_ != nullptr && !answering_) {
    Request& request = *waiting_;
    answering_ = true;
    lock.unlock();
    if (request.question != nullptr) {
      request.answer = sink_.askYesNo(*request.question, request.defaultAnswer);
    } else {
      sink_.showMessage(*request.message);
    }
    lock.lock();
    answering_ = false;
    request.answered = true;
    waiting_ = nullptr;
    answered_.notify_all();
  }
  return state_;
}

ProgressState BackgroundTask::state() const {
  const std::lock_guard lock(mutex_);
  return state_;
}

void BackgroundTask::requestCancel() {
  if (cancelled_.exchange(true)) return;
  update([](ProgressState& s) { s.cancel(); });
}

void BackgroundTask::finish() {
  assert(ended() && "finish follows the end of the job");
  if (worker_.joinable()) worker_.join();
  if (failure_) std::rethrow_exception(failure_);
  std::vector<Message> kept;
  {
    const std::lock_guard lock(mutex_);
    kept.swap(kept_);
  }
  for (const Message& message : kept) sink_.showMessage(message);
}

void BackgroundTask::update(const std::function<void(ProgressState&)>& change) {
  {
    const std::lock_guard lock(mutex_);
    change(state_);
  }
  wakeOnce();
}

void BackgroundTask::wakeOnce() {
  if (!posted_.exchange(true)) wake_();
}

void BackgroundTask::ask(Request& request) {
  std::unique_lock lock(mutex_);
  if (abandoned_) return;
  waiting_ = &request;
  lock.unlock();
  // An outstanding wake will do: its service looks for the request after taking the
  // flag down.
  wakeOnce();
  lock.lock();
  answered_.wait(lock, [&] { return request.answered; });
}

void BackgroundTask::keep(const Message& message) {
  const std::lock_guard lock(mutex_);
  kept_.push_back(message);
}

}  // namespace vesk
