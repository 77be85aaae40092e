#include "base/text_rooms.h"

#include <algorithm>
#include <utility>

namespace vesk {

std::string TextRooms::take(std::size_t size) {
  std::string text;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!kept_.empty()) {
      // Kept smallest first: the first that is large enough, else the largest.
      auto fits = std::find_if(kept_.begin(), kept_.end(),
                               [size](const std::string& t) { return t.capacity() >= size; });
      if (fits == kept_.end()) fits = kept_.end() - 1;
      text = std::move(*fits);
      kept_.erase(fits);
    }
  }
  text.reserve(size);  // outside the lock: growing may take long
  return text;
}

void TextRooms::give(std::string text) {
  if (keep_ == 0 || text.capacity() == 0) return;
  text.clear();
  std::string dropped;  // freed once the lock is let go
  const std::lock_guard<std::mutex> lock(mutex_);
  if (kept_.size() == keep_) {
    if (text.capacity() <= kept_.front().capacity()) return;
    dropped = std::move(kept_.front());
    kept_.erase(kept_.begin());
  }
  const auto at = std::lower_bound(
      kept_.begin(), kept_.end(), text.capacity(),
      [](const std::string& t, std::size_t capacity) { return t.capacity() < capacity; });
  kept_.insert(at, std::move(text));
}

std::string takeTextRoom(TextRooms* rooms, std::size_t size) {
  if (rooms != nullptr) return rooms->take(size);
  std::string text;
  text.reserve(size);
  return text;
}

void giveTextRoom(TextRooms* rooms, std::string text) {
  if (rooms != nullptr) rooms->give(std::move(text));
}

}  // namespace vesk
