#include "package/concurrent_document.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace vesk {
namespace {

// The write's own result comes back, whether it ends before or after the wait begins.
TEST(ConcurrentDocument, GivesTheWritesResult) {
  for (const bool failing : {false, true}) {
    ConcurrentDocument document([failing](const std::atomic<bool>&) -> std::optional<std::string> {
      if (failing) return std::string("failed");
      return std::nullopt;
    });
    const auto result = document.wait([] { return false; });
    EXPECT_EQ(result, failing ? std::optional<std::string>("failed") : std::nullopt);
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
