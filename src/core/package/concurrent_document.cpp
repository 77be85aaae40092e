#include "package/concurrent_document.h"

#include <chrono>
#include <system_error>

namespace vesk {

ConcurrentDocument::ConcurrentDocument(Write write) : write_(std::move(write)) {
  try {
    thread_ = std::thread([this] {
      std::optional<std::string> result = write_(stop_);
      const std::lock_guard<std::mutex> lock(mutex_);
      result_ = std::move(result);
      done_ = true;
      ended_.notify_all();
    });
  } catch (const std::system_error&) {
    // No thread: wait() writes on the caller's thread.
  }
}

ConcurrentDocument::~ConcurrentDocument() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::optional<std::string> ConcurrentDocument::wait(const std::function<bool()>& cancelRequested) {
  if (waited_) return result_;
  waited_ = true;
  if (!thread_.joinable()) {
    if (cancelRequested && cancelRequested()) {
      cancelled_ = true;
      stop_ = true;
    }
    result_ = write_(stop_);
    return result_;
  }
  // The cancel is the caller's to ask, on its own thread, between waits.
  {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!ended_.wait_for(lock, std::chrono::milliseconds(20), [this] { return done_; })) {
      if (!stop_ && cancelRequested) {
        lock.unlock();
        if (cancelRequested()) {
          cancelled_ = true;
          stop_ = true;
        }
        lock.lock();
      }
    }
  }
  thread_.join();
  return result_;
}

}  // namespace vesk
