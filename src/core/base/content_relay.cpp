#include "base/content_relay.h"

#include <cerrno>
#include <system_error>

namespace vesk {

ContentRelay::ContentRelay(const CopyContent& content, std::size_t bufferSize)
    : content_(content), bufferSize_(bufferSize) {
  try {
    thread_ = std::thread([this] { watch(); });
  } catch (const std::system_error&) {
    // Without a thread, pass() calls the watcher itself.
  }
}

ContentRelay::~ContentRelay() {
  if (!thread_.joinable()) return;
  // A failed copy reports the system's error after the relay is gone: keep it.
  const int error = errno;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    pending_.clear();
  }
  changed_.notify_all();
  thread_.join();
  errno = error;
}

char* ContentRelay::buffer() {
  // A read that found nothing (or was interrupted) did not use its buffer.
  if (current_ != nullptr) return current_;
  std::unique_lock<std::mutex> lock(mutex_);
  // Buffers are made only as the copy needs them: a file of one piece uses one.
  if (free_.empty() && buffers_.size() < kSlots) {
    buffers_.emplace_back(new char[bufferSize_]);
    free_.push_back(buffers_.back().get());
  }
  changed_.wait(lock, [this] { return !free_.empty(); });
  current_ = free_.back();
  free_.pop_back();
  return current_;
}

void ContentRelay::pass(std::size_t size) {
  char* const data = current_;
  current_ = nullptr;
  if (!thread_.joinable()) {
    content_(std::string_view(data, size));
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(data);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back({data, size});
  }
  changed_.notify_all();
}

void ContentRelay::finish() {
  if (!thread_.joinable()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

void ContentRelay::watch() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
    if (stopping_) return;
    const Piece piece = pending_.front();
    pending_.pop_front();
    busy_ = true;
    lock.unlock();
    content_(std::string_view(piece.data, piece.size));
    lock.lock();
    busy_ = false;
    free_.push_back(piece.data);
    changed_.notify_all();
  }
}

}  // namespace vesk
