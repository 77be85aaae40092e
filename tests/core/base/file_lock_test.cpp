#include "base/file_lock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

TEST(FileLock, OneHolderAtATimeAndNoneOnceReleased) {
  test::TempDir dir;
  const std::string path = dir.file("lock");
  FileLock first;
  FileLock second;
  int error = 0;
  EXPECT_EQ(lockFile(path, false, first, error), LockAttempt::Failed) << "missing, not made";
  EXPECT_FALSE(fs::exists(path));
  ASSERT_EQ(lockFile(path, true, first, error), LockAttempt::Acquired);
  EXPECT_TRUE(first.held());
  EXPECT_EQ(lockFile(path, true, second, error), LockAttempt::Busy);
  EXPECT_FALSE(second.held());
  EXPECT_TRUE(lockHeldElsewhere(path));

  // Moved, the lock stays held; released, it is free and the file stays.
  FileLock moved = std::move(first);
  EXPECT_TRUE(moved.held());
  EXPECT_TRUE(lockHeldElsewhere(path));
  moved.release();
  EXPECT_FALSE(lockHeldElsewhere(path));
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(lockFile(path, false, second, error), LockAttempt::Acquired);
}

#ifndef _WIN32
TEST(FileLock, ALinkInTheLocksPlaceIsNotFollowed) {
  test::TempDir dir;
  dir.write("elsewhere", "not the lock");
  fs::create_symlink(dir.file("elsewhere"), dir.file("lock"));
  FileLock lock;
  int error = 0;
  EXPECT_EQ(lockFile(dir.file("lock"), true, lock, error), LockAttempt::Failed);
  EXPECT_EQ(dir.read("elsewhere"), "not the lock");
}
#endif

}  // namespace
}  // namespace vesk
