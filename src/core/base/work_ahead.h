#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace vesk {

// Gives the results of work(0), work(1), … work(count - 1) one after another, in that
// order, while the items are worked on by the caller's thread and one thread of its
// own: whichever is free starts the next item, as long as it lies at most `ahead`
// items past the one the caller takes next. So at most two items are worked on at
// once, and at most `ahead` + 1 results wait to be taken; the caller, while it waits
// for an item, works on the next one itself. Where no thread can be started, each item
// is worked on by the caller as it takes it. `work` is given a flag that asks it to end
// early; its result is then never taken. Used from one thread; `work` must not throw.
template <class T>
class WorkAhead {
 public:
  using Work = std::function<T(std::size_t index, const std::atomic<bool>& stop)>;

  WorkAhead(std::size_t count, std::size_t ahead, Work work)
      : work_(std::move(work)), count_(count), ahead_(ahead), results_(ahead + 1) {
    try {
      thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
      // No thread: the caller works on every item.
    }
  }

  // Asks the item being worked on by the thread to end early and waits for it.
  ~WorkAhead() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

  WorkAhead(const WorkAhead&) = delete;
  WorkAhead& operator=(const WorkAhead&) = delete;

  // The result of the next item: of item 0 the first time, then of item 1, and so on;
  // at most `count` times. While the caller waits for an item the thread works on,
  // `cancel` (may be empty) is asked every few hundredths of a second; once it says so,
  // every item is asked to end early, as on destruction, and the result of the item
  // waited for (or T() for one never started) is given as it ends.
  T takeNext(const std::function<bool()>& cancel = {}) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      std::optional<T>& slot = results_[taken_ % results_.size()];
      if (slot) {
        T result = std::move(*slot);
        slot.reset();
        ++taken_;
        changed_.notify_all();
        return result;
      }
      if (workOnNext(lock)) continue;
      if (stop_ && started_ <= taken_) {
        ++taken_;
        return T();
      }
      if (!cancel || stop_) {
        changed_.wait(lock);
        continue;
      }
      changed_.wait_for(lock, std::chrono::milliseconds(20));
      lock.unlock();
      const bool cancelled = cancel();
      lock.lock();
      if (cancelled) {
        stop_ = true;
        changed_.notify_all();
      }
    }
  }

 private:
  // Works on the next item not yet started, when there is one within reach, with the
  // lock let go meanwhile; false when there is none.
  bool workOnNext(std::unique_lock<std::mutex>& lock) {
    if (stop_ || started_ >= count_ || started_ > taken_ + ahead_) return false;
    const std::size_t index = started_++;
    lock.unlock();
    T result = work_(index, stop_);
    lock.lock();
    results_[index % results_.size()] = std::move(result);
    changed_.notify_all();
    return true;
  }

  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
      if (!workOnNext(lock)) changed_.wait(lock);
    }
  }

  Work work_;
  const std::size_t count_;
  const std::size_t ahead_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::atomic<bool> stop_{false};  // set under mutex_, read by the work without it
  std::size_t started_ = 0;        // items started, under mutex_
  std::size_t taken_ = 0;          // results taken, under mutex_
  // The results of items taken_ … taken_ + ahead_, each at its index modulo the size.
  std::vector<std::optional<T>> results_;
  std::thread thread_;
};

}  // namespace vesk
