#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "editor/progress_model.h"
#include "messages/message_sink.h"
#include "package/build_progress.h"

namespace vesk {

// How long a progress window waits before it shows: work that ends sooner (a check of
// a few entries, a small create) shows none, so that no window flashes by.
inline constexpr int kProgressWindowDelayMs = 250;

// Work a dialog runs off its own thread: the check before a create, or the create.
// It reports messages to `sink` and its progress to `progress`, whose
// cancelRequested() answers the operator's Cancel.
using BackgroundJob = std::function<void(MessageSink& sink, BuildProgress& progress)>;

// Runs one job on a worker thread for a dialog, whose own thread goes on handling
// its window's events meanwhile. Both dialogs use it the same way:
//
//   1. construct it with the dialog's sink and a `wake` function, then `start`;
//   2. whenever `wake` has been called, call `service` on the dialog's thread and
//      draw the state it returns; Cancel calls `requestCancel`;
//   3. once `ended` is true after a `service`, close the progress window and call
//      `finish`.
//
// `wake` is called from the worker (or from `requestCancel`) and must return at once,
// e.g. by posting a message to the progress window; no second wake comes until the
// dialog's thread has called `service`. A message the job shows is answered by
// `service` with the dialog's sink while the worker waits; a success message is kept
// and shown by `finish`, after the progress window has gone.
class BackgroundTask {
 public:
  BackgroundTask(ProgressStage stage, MessageSink& sink, std::function<void()> wake);
  // Should the dialog's thread leave before `finish`, the job is asked to stop, a
  // waiting message is answered No, and the worker is waited for.
  ~BackgroundTask();
  BackgroundTask(const BackgroundTask&) = delete;
  BackgroundTask& operator=(const BackgroundTask&) = delete;

  // Starts `job` on the worker thread; called once.
  void start(BackgroundJob job);

  // On the dialog's thread, after a wake: answers the message the worker waits on, if
  // any (the answer may run a nested event loop, within which `service` may be called
  // again), and returns the latest progress.
  ProgressState service();
  // The latest progress, without answering anything.
  ProgressState state() const;
  // True while a message of the job's is open on the dialog's thread, also within the
  // nested event loop of its box (where a progress window must not open over it).
  // The dialog's thread only.
  bool answering() const { return answering_; }
  // True once the job has returned; its last wake follows.
  bool ended() const { return ended_.load(); }

  // The operator's Cancel: the job's progress reports it from now on and the window
  // shows that the work is stopping.
  void requestCancel();
  bool cancelRequested() const { return cancelled_.load(); }

  // Once `ended`: waits for the worker, then shows the kept success messages with the
  // dialog's sink. Rethrows an exception the job let out (no success is shown then).
  void finish();

 private:
  class Progress;
  class WorkerSink;

  // A message or a question from the worker, waiting for the dialog's thread.
  struct Request {
    const Message* message = nullptr;
    const std::string* question = nullptr;
    DefaultAnswer defaultAnswer = DefaultAnswer::Yes;
    bool answer = false;
    bool answered = false;
  };

  void update(const std::function<void(ProgressState&)>& change);
  void wakeOnce();
  // Worker: hands `request` to the dialog's thread and waits for its answer.
  void ask(Request& request);
  void keep(const Message& message);

  MessageSink& sink_;
  std::function<void()> wake_;

  mutable std::mutex mutex_;
  std::condition_variable answered_;
  ProgressState state_;         // guarded by mutex_
  Request* waiting_ = nullptr;  // guarded by mutex_
  std::vector<Message> kept_;   // guarded by mutex_
  bool answering_ = false;      // the dialog's thread only
  std::exception_ptr failure_;  // written by the worker before ended_
  std::atomic<bool> posted_{false};
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> ended_{false};
  bool abandoned_ = false;  // guarded by mutex_: requests are answered No at once
  std::thread worker_;
};

}  // namespace vesk
