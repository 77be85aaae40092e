#include "base/hash_queue.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace vesk {

HashQueue::HashQueue(NewHasher newHasher) : newHasher_(std::move(newHasher)) {
  if (!newHasher_) newHasher_ = [] { return Sha256(); };
  try {
    thread_ = std::thread([this] { work(); });
  } catch (const std::system_error&) {
    // Without a thread, submit() hashes each batch itself.
  }
}

HashQueue::~HashQueue() {
  if (!thread_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    pending_.clear();
  }
  changed_.notify_all();
  thread_.join();
}

std::size_t HashQueue::begin() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    hashes_.emplace_back();
  }
  return files_++;
}

void HashQueue::add(std::string_view bytes) {
  if (files_ == 0) return;
  while (!bytes.empty()) {
    const std::span<char> into = room();
    const std::size_t size = std::min(bytes.size(), into.size());
    std::memcpy(into.data(), bytes.data(), size);
    commit(size);
    bytes.remove_prefix(size);
  }
}

std::span<char> HashQueue::room() {
  if (current_ == nullptr) current_ = takeChunk();
  return {current_ + used_, kChunkBytes - used_};
}

void HashQueue::commit(std::size_t size) {
  if (files_ == 0 || current_ == nullptr || size == 0) return;
  segments_.push_back({files_ - 1, current_ + used_, size, false});
  used_ += size;
  if (used_ == kChunkBytes) submit();
}

void HashQueue::end() {
  if (files_ == 0) return;
  segments_.push_back({files_ - 1, nullptr, 0, true});
  // Small files share a chunk, so that the hashing thread is woken about once a chunk,
  // not once a file; the rest is handed over by finish().
  if (used_ >= kChunkBytes / 2) submit();
}

Result<std::vector<FileHash>> HashQueue::finish() {
  submit();
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !thread_.joinable() || (pending_.empty() && !busy_); });
  std::vector<FileHash> hashes;
  hashes.reserve(hashes_.size());
  for (const auto& hash : hashes_) {
    if (!hash) return makeFailure(FailureCode::HashUnavailable);
    hashes.push_back(*hash);
  }
  return hashes;
}

char* HashQueue::takeChunk() {
  std::unique_lock<std::mutex> lock(mutex_);
  // Chunks are made only as they are needed: a run of small files uses few.
  if (free_.empty() && chunks_.size() < kChunks) {
    chunks_.emplace_back(new char[kChunkBytes]);
    free_.push_back(chunks_.back().get());
  }
  changed_.wait(lock, [this] { return !free_.empty(); });
  char* const chunk = free_.back();
  free_.pop_back();
  return chunk;
}

void HashQueue::submit() {
  if (segments_.empty()) {
    if (current_ != nullptr) {
      std::lock_guard<std::mutex> lock(mutex_);
      free_.push_back(current_);
    }
    current_ = nullptr;
    used_ = 0;
    return;
  }
  Batch batch{current_, std::move(segments_)};
  segments_.clear();
  current_ = nullptr;
  used_ = 0;
  if (!thread_.joinable()) {
    hash(batch);
    std::lock_guard<std::mutex> lock(mutex_);
    if (batch.chunk != nullptr) free_.push_back(batch.chunk);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(std::move(batch));
  }
  changed_.notify_all();
}

void HashQueue::hash(const Batch& batch) {
  for (const Segment& segment : batch.segments) {
    if (!hasher_ || hashing_ != segment.file) {
      // A file begun anew; one left unended before it keeps no hash.
      hasher_.emplace(newHasher_());
      hashing_ = segment.file;
      hashed_ = 0;
    }
    if (segment.size > 0) {
      hasher_->update(segment.data, segment.size);
      hashed_ += segment.size;
    }
    if (!segment.ends) continue;
    std::optional<FileHash> hash;
    if (const auto digest = hasher_->finish()) hash = FileHash{*digest, hashed_};
    hasher_.reset();
    std::lock_guard<std::mutex> lock(mutex_);
    hashes_[segment.file] = hash;
  }
}

void HashQueue::work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
    if (stopping_) return;
    Batch batch = std::move(pending_.front());
    pending_.pop_front();
    busy_ = true;
    lock.unlock();
    hash(batch);
    lock.lock();
    busy_ = false;
    if (batch.chunk != nullptr) free_.push_back(batch.chunk);
    changed_.notify_all();
  }
}

}  // namespace vesk
