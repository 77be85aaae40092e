#include "base/work_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace vesk {
namespace {

// Items of uneven length, the caller slow at times: every result comes in order, each
// item is worked on once, never more than two at once, and none starts more than
// `ahead` items past the one the caller is taking (or takes next).
TEST(WorkAhead, GivesEachResultInOrderWithinReach) {
  for (const std::size_t ahead : {0, 1, 3}) {
    SCOPED_TRACE(ahead);
    constexpr std::size_t kCount = 40;
    std::atomic<std::size_t> asked{0};  // takes begun
    std::atomic<int> running{0};
    std::atomic<int> mostRunning{0};
    std::atomic<bool> outOfReach{false};
    std::vector<std::atomic<int>> started(kCount);
    const auto pause = [](std::size_t units) {
      std::this_thread::sleep_for(std::chrono::microseconds(200 * units));
    };
    {
      WorkAhead<std::string> work(kCount, ahead, [&](std::size_t index, const std::atomic<bool>&) {
        ++started[index];
        if (index > asked + ahead) outOfReach = true;
        const int now = ++running;
        int most = mostRunning;
        while (now > most && !mostRunning.compare_exchange_weak(most, now)) {
        }
        pause(index % 3);
        --running;
        return std::to_string(index);
      });
      for (std::size_t i = 0; i < kCount; ++i) {
        ++asked;
        EXPECT_EQ(work.takeNext(), std::to_string(i));
        pause(i % 4 == 0 ? 4 : 0);
      }
    }
    for (std::size_t i = 0; i < kCount; ++i) EXPECT_EQ(started[i], 1) << i;
    EXPECT_LE(mostRunning, 2);
    EXPECT_FALSE(outOfReach);
  }
}

// Ended before every result is taken: an item the thread is working on is asked to
// stop, and the end waits for it.
TEST(WorkAhead, AnEndStopsTheItemInProgress) {
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> stoppedOnThread{0};
  std::atomic<int> workedOnThread{0};
  {
    WorkAhead<int> work(3, 1, [&](std::size_t index, const std::atomic<bool>& stop) {
      if (index == 0 || std::this_thread::get_id() == caller) return 0;
      ++workedOnThread;
      for (int i = 0; i < 30000 && !stop; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      if (stop) ++stoppedOnThread;
      return 1;
    });
    EXPECT_EQ(work.takeNext(), 0);
    // Until the thread holds an item past the first, which it keeps until stopped.
    while (workedOnThread == 0) std::this_thread::yield();
  }
  EXPECT_EQ(stoppedOnThread, 1);
}

// A caller waiting for the item the thread works on is asked whether to cancel; once it
// says so, that item is asked to stop, and its result comes as it ends.
TEST(WorkAhead, ACancelWhileWaitingStopsTheItemWaitedFor) {
  std::atomic<bool> started{false};
  std::atomic<bool> stopped{false};
  WorkAhead<int> work(1, 1, [&](std::size_t, const std::atomic<bool>& stop) {
    started = true;
    for (int i = 0; i < 30000 && !stop; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stopped = stop.load();
    return 1;
  });
  // The thread holds item 0 before the caller asks for it.
  while (!started) std::this_thread::yield();
  int asked = 0;
  EXPECT_EQ(work.takeNext([&] { return ++asked >= 2; }), 1);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace vesk
