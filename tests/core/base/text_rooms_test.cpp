#include "base/text_rooms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk {
namespace {

std::string textWithRoom(std::size_t size) {
  std::string text(size, 'x');
  text.resize(1);
  return text;
}

// Texts given in turn, then rooms taken: which text's memory each take gets back
// (an index into the given, -1 for new memory). Two are kept, the largest.
TEST(TextRooms, KeepsTheLargestAndGivesTheSmallestThatFits) {
  struct Case {
    const char* name;
    std::vector<std::size_t> given;
    std::vector<std::size_t> taken;
    std::vector<int> from;
  };
  const Case cases[] = {
      {"nothing kept: new memory", {}, {1000}, {-1}},
      {"the smallest that fits", {4000, 1000}, {900, 900}, {1, 0}},
      {"none fits: the largest, grown", {4000, 1000}, {9000, 900}, {0, 1}},
      {"the smallest kept gives way to a larger", {1000, 4000, 2000}, {100, 100, 100}, {2, 1, -1}},
      {"a smaller than all kept is not kept", {4000, 2000, 1000}, {100, 100, 100}, {1, 0, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextRooms rooms(2);
    std::vector<const char*> memory;
    for (const std::size_t size : c.given) {
      std::string text = textWithRoom(size);
      memory.push_back(text.data());
      rooms.give(std::move(text));
    }
    std::vector<std::string> taken;  // held, so that no take gets another's memory
    for (std::size_t n = 0; n < c.taken.size(); ++n) {
      taken.push_back(rooms.take(c.taken[n]));
      const std::string& text = taken.back();
      EXPECT_TRUE(text.empty());
      EXPECT_GE(text.capacity(), c.taken[n]);
      if (c.from[n] < 0) {
        // New memory: only the room asked for, less than any text given had.
        for (const std::size_t size : c.given) EXPECT_LT(text.capacity(), size) << n;
      } else if (c.taken[n] <= c.given[static_cast<std::size_t>(c.from[n])]) {
        EXPECT_EQ(text.data(), memory[static_cast<std::size_t>(c.from[n])]) << n;
      } else {
        EXPECT_GE(text.capacity(), c.given[static_cast<std::size_t>(c.from[n])]) << n;
      }
    }
  }
}

TEST(TextRooms, ReleaseFreesWhatItKeeps) {
  TextRooms rooms;
  rooms.give(textWithRoom(4000));
  rooms.release();
  EXPECT_LT(rooms.take(100).capacity(), 4000U);
}

// Readying room for writing changes nothing the text holds, nor its room, whatever
// the size asked for.
TEST(TextRooms, ReadyingRoomKeepsTheText) {
  for (const std::size_t asked : {std::size_t{0}, std::size_t{5000}, std::size_t{64} << 20}) {
    SCOPED_TRACE(asked);
    std::string text;
    text.reserve(std::size_t{8} << 20);
    for (int i = 0; i < 100000; ++i) text += static_cast<char>('a' + i % 26);
    const std::string before = text;
    const std::size_t capacity = text.capacity();
    readyRoomForWriting(text, asked);
    EXPECT_EQ(text, before);
    EXPECT_EQ(text.capacity(), capacity);
  }
}

}  // namespace
}  // namespace vesk
