#include "base/file_kind.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>

#include <cerrno>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/file_system_flush.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

TEST(FileKindOf, TellsWhatAPathNamesOrWhyItCannotBeExamined) {
  test::TempDir dir;
  dir.write("a.raw", "12345");
  dir.makeFolder("ct");
  struct Case {
    std::string path;
    std::optional<FileKind> kind;  // none: a ReadFailed failure naming the path
    int systemError = 0;
  };
  std::vector<Case> cases = {
      {dir.file("a.raw"), FileKind::Regular},          {dir.file("ct"), FileKind::Directory},
      {dir.file("ct/"), FileKind::Directory},          {dir.file("missing"), FileKind::Missing},
      {dir.file("missing/deeper"), FileKind::Missing},
  };
#ifndef _WIN32
  // Links are followed: to nothing is missing, in a circle cannot be examined.
  fs::create_symlink(dir.file("nowhere"), dir.file("dangling"));
  fs::create_symlink(dir.file("loop-b"), dir.file("loop-a"));
  fs::create_symlink(dir.file("loop-a"), dir.file("loop-b"));
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  cases.push_back({dir.file("dangling"), FileKind::Missing});
  cases.push_back({dir.file("a.raw/x"), FileKind::Missing});
  cases.push_back({dir.file("pipe"), FileKind::Other});
  cases.push_back({dir.file("loop-a"), std::nullopt, ELOOP});
  cases.push_back({dir.file("loop-a/x"), std::nullopt, ELOOP});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const Result<FileKind> kind = fileKindOf(c.path);
    if (c.kind) {
      ASSERT_TRUE(kind.ok()) << kind.failure().systemError;
      EXPECT_EQ(*kind, *c.kind);
    } else {
      ASSERT_FALSE(kind.ok()) << static_cast<int>(*kind);
      EXPECT_EQ(kind.failure().code, FailureCode::ReadFailed);
      EXPECT_EQ(kind.failure().path, c.path);
      EXPECT_EQ(kind.failure().systemError, c.systemError);
    }
  }
}

TEST(FlushFileSystem, FlushesAFolderAndNamesOneItCannotOpen) {
  test::TempDir dir;
  dir.write("a.raw", "12345");
  struct Case {
    std::string folder;
    std::optional<FailureCode> code;  // none: success
    int systemError = 0;
  };
  std::vector<Case> cases = {{dir.path(), std::nullopt}};
#ifdef __linux__
  cases.push_back({dir.file("missing"), FailureCode::NotFound, ENOENT});
  cases.push_back({dir.file("a.raw"), FailureCode::WriteFailed, ENOTDIR});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    const Status flushed = flushFileSystem(c.folder);
    if (!c.code) {
      EXPECT_TRUE(flushed.ok()) << flushed.failure().systemError;
      continue;
    }
    ASSERT_FALSE(flushed.ok());
    EXPECT_EQ(flushed.failure().code, *c.code);
    EXPECT_EQ(flushed.failure().path, c.folder);
    EXPECT_EQ(flushed.failure().systemError, c.systemError);
  }
}

}  // namespace
}  // namespace vesk
