#include "package/scene_handoff.h"

#include <chrono>

namespace vesk {

bool SceneHandoff::begin(int entry, bool decode, const std::function<bool()>& cancelled) {
  std::unique_lock lock(mutex_);
  // Said first, so that the document pass waits for this scene rather than reading it.
  position_ = entry;
  decoding_ = decode && !takingClosed_;
  changed_.notify_all();
  if (!decoding_) return false;
  // A cancel is asked now and then: the document pass takes the waiting text only
  // once it has written the scene before it.
  constexpr auto kCancelAsked = std::chrono::milliseconds(20);
  while (waiting_ && !takingClosed_) {
    if (cancelled && cancelled()) break;
    changed_.wait_for(lock, kCancelAsked);
  }
  decoding_ = !waiting_ && !takingClosed_;
  if (!decoding_) changed_.notify_all();
  return decoding_;
}

void SceneHandoff::offer(int entry, std::string scene, std::string text) {
  std::lock_guard lock(mutex_);
  decoding_ = false;
  if (!takingClosed_) waiting_ = Waiting{entry, std::move(scene), std::move(text)};
  changed_.notify_all();
}

void SceneHandoff::abandon() {
  std::lock_guard lock(mutex_);
  decoding_ = false;
  changed_.notify_all();
}

void SceneHandoff::close() {
  std::lock_guard lock(mutex_);
  decoding_ = false;
  closed_ = true;
  changed_.notify_all();
}

std::optional<std::string> SceneHandoff::take(int entry, const std::string& scene) {
  std::unique_lock lock(mutex_);
  for (;;) {
    // A text of an earlier entry was not taken in time: its scene was read.
    if (waiting_ && waiting_->entry < entry) {
      waiting_.reset();
      changed_.notify_all();
    }
    if (waiting_ && waiting_->entry == entry) {
      Waiting taken = std::move(*waiting_);
      waiting_.reset();
      changed_.notify_all();
      if (taken.scene != scene) return std::nullopt;
      return std::move(taken.text);
    }
    const bool passed =
        closed_ || waiting_ || position_ > entry || (position_ == entry && !decoding_);
    if (passed) return std::nullopt;
    changed_.wait(lock);
  }
}

void SceneHandoff::closeTaking() {
  std::lock_guard lock(mutex_);
  takingClosed_ = true;
  waiting_.reset();
  changed_.notify_all();
}

}  // namespace vesk
