#include "base/text_rooms.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

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

void readyRoomForWriting(std::string& text, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
  const long page = ::sysconf(_SC_PAGESIZE);
  if (page <= 0) return;
  const auto pageSize = static_cast<std::uintptr_t>(page);
  const auto start = reinterpret_cast<std::uintptr_t>(text.data());
  const std::uintptr_t end = start + std::min(bytes, text.capacity());
  // Whole pages only: the first page begun may hold the allocator's own bytes.
  const std::uintptr_t first = (start + pageSize - 1) & ~(pageSize - 1);
  const std::uintptr_t last = end & ~(pageSize - 1);
  // A refusal (an older kernel, too little memory) leaves the faults to the writes.
  if (first < last)
    (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
  (void)text;
  (void)bytes;
#endif
}

void TextRooms::release() {
  std::vector<std::string> kept;  // freed once the lock is let go
  const std::lock_guard<std::mutex> lock(mutex_);
  kept.swap(kept_);
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
