#include "base/hash_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace vesk {
namespace {

std::string patterned(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + seed) % 251);
  return bytes;
}

// Adds `bytes` as a copy does that reads into the queue's room: at most `piece` bytes
// a time, never more than the room holds, asking for the room twice now and then.
void fillInPlace(HashQueue& queue, std::string_view bytes, std::size_t piece) {
  int asked = 0;
  while (!bytes.empty()) {
    std::span<char> room = queue.room();
    if (++asked % 3 == 0) {
      EXPECT_EQ(queue.room().data(), room.data());
    }
    ASSERT_FALSE(room.empty());
    const std::size_t size = std::min({piece, room.size(), bytes.size()});
    std::memcpy(room.data(), bytes.data(), size);
    queue.commit(size);
    bytes.remove_prefix(size);
  }
}

// Files of every size around the chunk's, added in pieces of every size around it,
// copied in by add or written in place into the room: each file's hash is that of its
// own bytes, whatever chunks they shared.
TEST(HashQueue, HashesEachFileAsIfAlone) {
  constexpr std::size_t kChunk = HashQueue::kChunkBytes;
  const std::vector<std::size_t> sizes = {0,          1, 4096,           kChunk - 1, kChunk,
                                          kChunk + 1, 0, 3 * kChunk + 5, 100000};
  for (const bool inPlace : {false, true}) {
    for (const std::size_t piece : {std::size_t{1000}, kChunk - 3, kChunk, 2 * kChunk + 1}) {
      SCOPED_TRACE(std::to_string(piece) + (inPlace ? " in place" : " added"));
      HashQueue queue;
      std::vector<std::string> files;
      for (std::size_t i = 0; i < sizes.size(); ++i) {
        files.push_back(patterned(sizes[i], static_cast<unsigned>(i)));
        EXPECT_EQ(queue.begin(), i);
        if (inPlace) {
          fillInPlace(queue, files.back(), piece);
        } else {
          for (std::size_t at = 0; at < files.back().size(); at += piece) {
            queue.add(std::string_view(files.back()).substr(at, piece));
          }
        }
        queue.end();
      }
      const auto hashes = queue.finish();
      ASSERT_TRUE(hashes);
      ASSERT_EQ(hashes->size(), files.size());
      for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(hexText((*hashes)[i].digest), hexText(sha256Of(files[i]).value())) << i;
        EXPECT_EQ((*hashes)[i].size, files[i].size()) << i;
      }
    }
  }
}

// One file that cannot be hashed fails the whole queue; the others are still taken.
TEST(HashQueue, AFileThatCannotBeHashedFailsTheQueue) {
  std::atomic<int> made{0};
  HashQueue queue([&] { return ++made == 2 ? Sha256::unavailable() : Sha256(); });
  for (int i = 0; i < 3; ++i) {
    queue.begin();
    queue.add("bytes");
    queue.end();
  }
  const auto hashes = queue.finish();
  ASSERT_FALSE(hashes);
  EXPECT_EQ(hashes.failure().code, FailureCode::HashUnavailable);
  EXPECT_EQ(made.load(), 3);
}

// A run that stops midway (a failed or cancelled copy) drops the queue at once, with
// more bytes waiting than the chunks hold; a file begun and never ended has no hash.
TEST(HashQueue, StopsWhereverItIsDropped) {
  const std::string big = patterned(3 * HashQueue::kChunks * HashQueue::kChunkBytes / 2, 7);
  {
    HashQueue queue;
    queue.begin();
    queue.add(big);
  }
  HashQueue queue;
  queue.begin();
  queue.add("left unended");
  queue.begin();
  queue.add("abc");
  queue.end();
  const auto hashes = queue.finish();
  ASSERT_FALSE(hashes);
  EXPECT_EQ(hashes.failure().code, FailureCode::HashUnavailable);
}

}  // namespace
}  // namespace vesk
