#include "package/scene_handoff.h"

#include <chrono>

namespace vesk {

bool SceneHandoff::begin(int entry, bool decode, const std::function<bool()>& cancelled) {
  std::unique_lock lock(mutex_);
  // Said first, so that the document pass waits for this scene rather than reading it.
  position_ = entry;
  decoding_ = decode && !takingClosed_ && taking_ < entry;
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
  const int waitAfter = entry >= 0 && static_cast<std::size_t>(entry) < waitAfter_.size()
                            ? waitAfter_[static_cast<std::size_t>(entry)]
                            : kNoWait;
  for (;;) {
    // A text of an earlier entry was not taken in time: its scene was read.
    if (waiting_ && waiting_->entry < entry) {
      waiting_.reset();
      changed_.notify_all();
    }
    if (waiting_ && waiting_->entry == entry) {
      Waiting taken = std::move(*waiting_);
      waiting_.reset();
      taking_ = entry;
      changed_.notify_all();
      if (taken.scene != scene) return std::nullopt;
      return std::move(taken.text);
    }
    const bool decodingIt = position_ == entry && decoding_;
    const bool comingSoon = waitAfter != kNoWait && position_ == waitAfter;
    if (closed_ || !(decodingIt || comingSoon)) {
      taking_ = entry;  // read here: the copier leaves it undecoded
      return std::nullopt;
    }
    changed_.wait(lock);
  }
}

std::vector<int> sceneWaits(const PackagePlan& plan) {
  constexpr std::uint64_t kNearFiles = 256;
  constexpr std::uint64_t kNearBytes = std::uint64_t{16} << 20;
  std::vector<int> waits;
  int previous = -1;  // the entry of the scene copied last
  std::uint64_t files = 0;
  std::uint64_t bytes = 0;
  for (const PlannedItem& item : plan.items) {
    if (item.step != PlannedItem::Step::CopyFile) continue;
    if (item.role != PlannedRole::Scene || item.entryNumber < 0) {
      ++files;
      bytes += item.size;
      continue;
    }
    const auto entry = static_cast<std::size_t>(item.entryNumber);
    if (waits.size() <= entry) waits.resize(entry + 1, SceneHandoff::kNoWait);
    if (files <= kNearFiles && bytes <= kNearBytes) waits[entry] = previous;
    previous = item.entryNumber;
    files = 0;
    bytes = 0;
  }
  return waits;
}

void SceneHandoff::closeTaking() {
  std::lock_guard lock(mutex_);
  takingClosed_ = true;
  waiting_.reset();
  changed_.notify_all();
}

}  // namespace vesk
