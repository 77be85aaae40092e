#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vesk {

// Runs the write of a package's document on a thread of its own, so that its scenes
// are merged, encoded and hashed while the caller copies the package's files. The
// write is given a flag that asks it to stop at its next piece. Where no thread can
// be started, the write runs on the caller's thread when waited for. Used from one
// thread; never throws.
class ConcurrentDocument {
 public:
  // The write: returns nothing when the document was written, else the operator's
  // message; it stops early (with any message) once `stop` is set. One that runs out
  // of memory gives kDocumentOutOfMemoryMessage.
  using Write = std::function<std::optional<std::string>(const std::atomic<bool>& stop)>;

  explicit ConcurrentDocument(Write write);
  // Stops the write and waits for it.
  ~ConcurrentDocument();
  ConcurrentDocument(const ConcurrentDocument&) = delete;
  ConcurrentDocument& operator=(const ConcurrentDocument&) = delete;

  // Asks the write to stop at its next piece.
  void stop() { stop_ = true; }
  // Waits until the write has ended and gives its result. `cancelRequested` (may be
  // empty) is asked about every 20 ms meanwhile; a true answer stops the write, and
  // `cancelled()` then says so.
  std::optional<std::string> wait(const std::function<bool()>& cancelRequested = {});
  bool cancelled() const { return cancelled_; }
  // True when the document is written on a thread of its own; false when no thread
  // could be had and wait() writes it.
  bool alongside() const { return thread_.joinable(); }

 private:
  Write write_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable ended_;
  bool done_ = false;  // under mutex_
  bool cancelled_ = false;
  bool waited_ = false;
  std::optional<std::string> result_;
  std::thread thread_;
};

}  // namespace vesk
