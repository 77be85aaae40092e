#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "base/file_system.h"

namespace vesk {

// Hands the pieces of a copy to its content watcher on a thread of its own, so that
// the copy reads and writes the next piece while the watcher (a hash) takes the last
// one. The pieces pass through a ring of at most kSlots buffers, so memory stays
// bounded and the copy waits whenever the watcher falls behind. Where no thread can
// be started, the watcher is called at once, on the copying thread.
class ContentRelay {
 public:
  static constexpr std::size_t kSlots = 4;

  // `content` must outlive the relay; every buffer holds `bufferSize` bytes.
  ContentRelay(const CopyContent& content, std::size_t bufferSize);
  // Stops the watcher's thread; pieces not yet taken are dropped (see finish).
  ~ContentRelay();
  ContentRelay(const ContentRelay&) = delete;
  ContentRelay& operator=(const ContentRelay&) = delete;

  // A buffer of bufferSize bytes that no piece in flight uses, waiting for one when
  // all are taken; the same buffer again until pass() hands it over.
  char* buffer();
  // Passes the first `size` bytes (more than none) of the buffer last returned by
  // buffer() to the watcher, after every piece passed before.
  void pass(std::size_t size);
  // Returns once the watcher has had every piece passed.
  void finish();

 private:
  struct Piece {
    char* data;
    std::size_t size;
  };
  void watch();

  const CopyContent& content_;
  const std::size_t bufferSize_;
  std::vector<std::unique_ptr<char[]>> buffers_;
  std::vector<char*> free_;
  char* current_ = nullptr;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Piece> pending_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vesk
