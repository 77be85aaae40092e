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
  handoff.close();
  EXPECT_EQ(handoff.take(4, "e.nuv"), std::nullopt);  // 3 was read; no more come
  EXPECT_EQ(handoff.take(5, "f.nuv"), std::nullopt);
}

// The document waits for a scene being decoded, and for one the copier has not come
// to, until the copier says what became of it.
TEST(SceneHandoff, TheDocumentWaitsForTheCopier) {
  SceneHandoff handoff;
  auto taken = std::async(std::launch::async, [&] { return handoff.take(0, "a.nuv"); });
  EXPECT_EQ(taken.wait_for(50ms), std::future_status::timeout);
  ASSERT_TRUE(handoff.begin(0, true));
  EXPECT_EQ(taken.wait_for(50ms), std::future_status::timeout);
  handoff.offer(0, "a.nuv", "text a");
  EXPECT_EQ(taken.get(), "text a");

  ASSERT_TRUE(handoff.begin(1, true));
  auto abandoned = std::async(std::launch::async, [&] { return handoff.take(1, "b.nuv"); });
  EXPECT_EQ(abandoned.wait_for(50ms), std::future_status::timeout);
  handoff.abandon();
  EXPECT_EQ(abandoned.get(), std::nullopt);

  auto ended = std::async(std::launch::async, [&] { return handoff.take(2, "c.nuv"); });
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

}  // namespace
}  // namespace vesk
