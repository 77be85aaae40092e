#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

#include "base/failure.h"
#include "base/file_hash.h"
#include "base/sha256.h"

namespace vesk {

// Makes the hasher of one file (Sha256's constructor; a test makes one that fails).
using NewHasher = std::function<Sha256()>;

// Hashes the files of a run, one after the other, on a thread of its own: the bytes of
// file N are hashed while file N+1 is read and written. The bytes pass through at
// most kChunks chunks of kChunkBytes, so memory stays bounded and the caller waits
// (one chunk's hashing at most) whenever the hashing falls behind. Where no thread
// can be started, the bytes are hashed at once, on the caller's thread. Used from one
// thread at a time (a caller that hands it to another thread orders the two, as a
// join does); never throws.
class HashQueue {
 public:
  // Four were measured as fast as eight (the hashing keeps pace or sets it), with a
  // peak 4 to 6 MiB lower for each queue that fills.
  static constexpr std::size_t kChunks = 4;
  static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

  // `newHasher` is called on the hashing thread, once a file; empty: Sha256().
  explicit HashQueue(NewHasher newHasher = {});
  // Stops the hashing thread; what is not hashed yet is dropped.
  ~HashQueue();
  HashQueue(const HashQueue&) = delete;
  HashQueue& operator=(const HashQueue&) = delete;

  // Starts the next file and gives its number (0 for the first). A file begun and not
  // ended has no hash.
  std::size_t begin();
  // Adds bytes to the file begun last, after those added before.
  void add(std::string_view bytes);
  // Room for the next bytes of the file begun last, to fill in place of add's copy:
  // the rest of the chunk being filled, else a fresh chunk (waiting for one while all
  // are being hashed). Asked again before commit, it gives the same room.
  std::span<char> room();
  // Adds the first `size` bytes of the room given last to the file begun last.
  void commit(std::size_t size);
  // Ends the file begun last: its hash covers every byte added to it. Small files
  // share a chunk, handed to the hashing thread once it is half full.
  void end();
  // Waits until every file ended is hashed and gives their hashes by number, or
  // HashUnavailable (naming no path) when a hasher gave no digest. Call once, after
  // the last end().
  Result<std::vector<FileHash>> finish();

 private:
  // A run of one file's bytes in a chunk; `ends` closes the file.
  struct Segment {
    std::size_t file;
    const char* data;
    std::size_t size;
    bool ends;
  };
  struct Batch {
    char* chunk;  // given back once hashed; null for a batch of ends only
    std::vector<Segment> segments;
  };

  char* takeChunk();
  void submit();
  void hash(const Batch& batch);
  void work();

  NewHasher newHasher_;
  std::size_t files_ = 0;
  // The caller's side: the chunk being filled.
  char* current_ = nullptr;
  std::size_t used_ = 0;
  std::vector<Segment> segments_;
  // The hashing side, touched by the hashing thread only (or the caller's without one).
  std::optional<Sha256> hasher_;
  std::size_t hashing_ = 0;
  std::uint64_t hashed_ = 0;
  // Shared, under the mutex.
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<char*> free_;
  std::deque<Batch> pending_;
  std::vector<std::optional<FileHash>> hashes_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace vesk
