#include "package/scene_handoff.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace vesk {
namespace {

using namespace std::chrono_literals;

// Texts are taken in entry order; a scene the copier did not decode, one it offered
// under another file's name and one whose text came too late are read by the document.
TEST(SceneHandoff, HandsOnlyTheTextOfTheSceneAsked) {
  SceneHandoff handoff;
  ASSERT_TRUE(handoff.begin(0, true));
  handoff.offer(0, "a.nuv", "text a");
  EXPECT_EQ(handoff.take(0, "a.nuv"), "text a");

  EXPECT_FALSE(handoff.begin(1, false));  // reused: not decoded
  EXPECT_EQ(handoff.take(1, "b.nuv"), std::nullopt);

  ASSERT_TRUE(handoff.begin(2, true));
  handoff.offer(2, "c.nuv", "text c");
  EXPECT_EQ(handoff.take(2, "other.nuv"), std::nullopt);

  ASSERT_TRUE(handoff.begin(3, true));
  handoff.offer(3, "d.nuv", "text d");
  EXPECT_EQ(handoff.take(4, "e.nuv"), std::nullopt);  // 3 was read; 4 is not here yet
  handoff.close();
  EXPECT_EQ(handoff.take(5, "f.nuv"), std::nullopt);
}

// The document waits for the scene the copier is decoding, until the copier says what
// became of it; one the copier has not come to it reads itself, and the copier then
// leaves it undecoded.
TEST(SceneHandoff, TheDocumentWaitsOnlyForASceneBeingDecoded) {
  SceneHandoff handoff;
  ASSERT_TRUE(handoff.begin(0, true));
  auto taken = std::async(std::launch::async, [&] { return handoff.take(0, "a.nuv"); });
  EXPECT_EQ(taken.wait_for(50ms), std::future_status::timeout);
  handoff.offer(0, "a.nuv", "text a");
  EXPECT_EQ(taken.get(), "text a");

  ASSERT_TRUE(handoff.begin(1, true));
  auto abandoned = std::async(std::launch::async, [&] { return handoff.take(1, "b.nuv"); });
  EXPECT_EQ(abandoned.wait_for(50ms), std::future_status::timeout);
  handoff.abandon();
  EXPECT_EQ(abandoned.get(), std::nullopt);

  EXPECT_EQ(handoff.take(2, "c.nuv"), std::nullopt);  // the copier is not there yet
  EXPECT_FALSE(handoff.begin(2, true));

  ASSERT_TRUE(handoff.begin(3, true));
  auto ended = std::async(std::launch::async, [&] { return handoff.take(3, "d.nuv"); });
  handoff.close();
  EXPECT_EQ(ended.get(), std::nullopt);
}

// While a text waits, the copier decodes no other until it is taken, and is let go by
// the document's end or by a cancel.
TEST(SceneHandoff, TheCopierWaitsForTheWaitingText) {
  SceneHandoff handoff;
  ASSERT_TRUE(handoff.begin(0, true));
  handoff.offer(0, "a.nuv", "text a");
  auto next = std::async(std::launch::async, [&] { return handoff.begin(1, true); });
  EXPECT_EQ(next.wait_for(50ms), std::future_status::timeout);
  EXPECT_EQ(handoff.take(0, "a.nuv"), "text a");
  EXPECT_TRUE(next.get());
  handoff.offer(1, "b.nuv", "text b");

  std::atomic<bool> cancel = false;
  auto cancelled = std::async(
      std::launch::async, [&] { return handoff.begin(2, true, [&] { return cancel.load(); }); });
  EXPECT_EQ(cancelled.wait_for(50ms), std::future_status::timeout);
  cancel = true;
  EXPECT_FALSE(cancelled.get());

  auto released = std::async(std::launch::async, [&] { return handoff.begin(3, true); });
  handoff.closeTaking();
  EXPECT_FALSE(released.get());
  handoff.offer(3, "d.nuv", "dropped");
  EXPECT_EQ(handoff.take(3, "d.nuv"), std::nullopt);
}

// Where few files are copied between two scenes, the document waits for the copier to
// come to the second; after many (or much), it reads the scene itself.
TEST(SceneHandoff, TheDocumentWaitsForASceneComingSoon) {
  PackagePlan plan;
  const auto copy = [&](int entry, PlannedRole role, std::uint64_t size = 10) {
    PlannedItem item;
    item.entryNumber = entry;
    item.role = role;
    item.size = size;
    plan.items.push_back(item);
  };
  copy(0, PlannedRole::Scene);
  for (int i = 0; i < 300; ++i) copy(0, PlannedRole::DataFile);
  copy(1, PlannedRole::Scene);
  copy(1, PlannedRole::Thumbnail);
  copy(2, PlannedRole::Scene);
  copy(2, PlannedRole::DataFile, std::uint64_t{1} << 30);
  copy(3, PlannedRole::Scene);
  const std::vector<int> waits = sceneWaits(plan);
  EXPECT_EQ(waits, (std::vector<int>{-1, SceneHandoff::kNoWait, 1, SceneHandoff::kNoWait}));

  SceneHandoff handoff(waits);
  auto first = std::async(std::launch::async, [&] { return handoff.take(0, "a.nuv"); });
  EXPECT_EQ(first.wait_for(50ms), std::future_status::timeout);
  ASSERT_TRUE(handoff.begin(0, true));
  handoff.offer(0, "a.nuv", "text a");
  EXPECT_EQ(first.get(), "text a");
  EXPECT_EQ(handoff.take(1, "b.nuv"), std::nullopt);  // 300 files to go: read here
  EXPECT_FALSE(handoff.begin(1, true));
  auto third = std::async(std::launch::async, [&] { return handoff.take(2, "c.nuv"); });
  EXPECT_EQ(third.wait_for(50ms), std::future_status::timeout);
  ASSERT_TRUE(handoff.begin(2, true));
  handoff.offer(2, "c.nuv", "text c");
  EXPECT_EQ(third.get(), "text c");
  EXPECT_EQ(handoff.take(3, "d.nuv"), std::nullopt);  // 1 GiB to go
}

}  // namespace
}  // namespace vesk
