#include "package/concurrent_document.h"

#include <chrono>
#include <new>
#include <system_error>

#include "messages/messages.h"

namespace vesk {

namespace {

// The write's result; a write that runs out of memory (a scene of hundreds of MiB read
// whole) fails with its message instead of ending the program.
std::optional<std::string> writeOrFail(const ConcurrentDocument::Write& write,
                                       const std::atomic<bool>& stop) {
  try {
    return write(stop);
  } catch (const std::bad_alloc&) {
    return std::string(kDocumentOutOfMemoryMessage);
  }
}

}  // namespace

ConcurrentDocument::ConcurrentDocument(Write write) : write_(std::move(write)) {
  try {
    thread_ = std::thread([this] {
      std::optional<std::string> result = writeOrFail(write_, stop_);
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
    result_ = writeOrFail(write_, stop_);
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
