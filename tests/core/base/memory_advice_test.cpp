#include "base/memory_advice.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace vesk {
namespace {

// The advice is a hint: whatever part of a buffer it is given, what the buffer holds
// and what is written to it afterwards stay as they are, and nothing around it moves.
TEST(MemoryAdvice, LeavesEveryPartOfABufferAsItWas) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  struct Case {
    std::size_t offset;
    std::size_t size;
  };
  const Case cases[] = {{0, 0}, {0, 1}, {3, 2 * kMiB}, {0, 5 * kMiB}, {4095, 9 * kMiB + 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.offset) + " + " + std::to_string(c.size));
    std::string buffer(c.offset + c.size + 64, '\0');
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<char>(i * 7 + 1);
    const std::string before = buffer;
    adviseLargePages(buffer.data() + c.offset, c.size);
    EXPECT_EQ(buffer, before);
    for (std::size_t i = c.offset; i < c.offset + c.size; i += 4096) buffer[i] = 'x';
    for (std::size_t i = 0; i < buffer.size(); ++i) {
      const bool written = i >= c.offset && i < c.offset + c.size && (i - c.offset) % 4096 == 0;
      if (buffer[i] != (written ? 'x' : before[i])) {
        ADD_FAILURE() << "byte " << i;
        break;
      }
    }
  }
}

}  // namespace
}  // namespace vesk
