#include "package/concurrent_document.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <thread>

#include "messages/messages.h"

namespace vesk {
namespace {

// The write's own result comes back; a write that runs out of memory fails with its
// message instead of ending the program from its thread.
TEST(ConcurrentDocument, GivesTheWritesResult) {
  const std::optional<std::string> failed = "failed";
  const std::optional<std::string> outOfMemory = kDocumentOutOfMemoryMessage;
  for (const auto& expected : {std::optional<std::string>(), failed, outOfMemory}) {
    ConcurrentDocument document([&](const std::atomic<bool>&) -> std::optional<std::string> {
      if (expected == outOfMemory) throw std::bad_alloc();
      return expected;
    });
    EXPECT_EQ(document.wait([] { return false; }), expected);
    EXPECT_FALSE(document.cancelled());
  }
}

// A cancel asked while waiting stops a long write at its next piece; a stop from the
// caller (its copy failed) does too, and is no cancel.
TEST(ConcurrentDocument, ACancelWhileWaitingStopsTheWrite) {
  const auto endless = [](const std::atomic<bool>& stop) -> std::optional<std::string> {
    while (!stop) std::this_thread::yield();
    return std::string("stopped");
  };
  int asked = 0;
  ConcurrentDocument cancelled(endless);
  EXPECT_EQ(cancelled.wait([&] { return ++asked == 3; }), "stopped");
  EXPECT_TRUE(cancelled.cancelled());
  EXPECT_EQ(asked, 3);

  ConcurrentDocument stopped(endless);
  stopped.stop();
  EXPECT_EQ(stopped.wait(), "stopped");
  EXPECT_FALSE(stopped.cancelled());
}

}  // namespace
}  // namespace vesk
