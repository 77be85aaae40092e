#include "base/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vesk {
namespace {

// A result as an optional value, for comparisons.
template <typename T>
std::optional<T> optionalOf(Result<T> result) {
  if (!result) return std::nullopt;
  return std::move(*result);
}

using Paths = std::vector<std::string>;

Paths sorted(Paths paths) {
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Bytes that differ from position to position, so a misplaced piece shows.
std::string patternedBytes(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 12345;
  for (char& b : bytes) {
    state = state * 1103515245u + 12345u;
    b = static_cast<char>(state >> 24);
  }
  return bytes;
}

TEST(CreateDirectory, CreatesExactlyOneNewFolder) {
  test::TempDir dir;
  dir.write("file", "x");
  EXPECT_TRUE(createDirectory(dir.file("00")));
  EXPECT_TRUE(isDirectory(dir.file("00")));
  EXPECT_TRUE(createDirectory(dir.file("00/ct/")));  // a trailing separator is fine
  EXPECT_TRUE(isDirectory(dir.file("00/ct")));

  EXPECT_FALSE(createDirectory(dir.file("00")));     // exists already
  EXPECT_FALSE(createDirectory(dir.file("file")));   // a file is there
  EXPECT_FALSE(createDirectory(dir.file("01/ct")));  // parent missing
  EXPECT_FALSE(pathExists(dir.file("01")));
}

TEST(CopyFile, CopiesTheBytesAndReplacesAnExistingTarget) {
  test::TempDir dir;
  dir.write("scene.nuv", "short");
  dir.write("out/scene.nuv", std::string(100000, 'o'));
  dir.write("empty", "");
  EXPECT_TRUE(copyFile(dir.file("scene.nuv"), dir.file("out/scene.nuv")));
  EXPECT_EQ(dir.read("out/scene.nuv"), "short");
  EXPECT_TRUE(copyFile(dir.file("empty"), dir.file("out/empty")));
  EXPECT_EQ(dir.read("out/empty"), "");
  EXPECT_TRUE(copyFile(dir.file("empty"), dir.file("out/scene.nuv")));
  EXPECT_EQ(dir.read("out/scene.nuv"), "");
}

TEST(CopyFile, FailsWithoutAReadableSourceOrAWritableTarget) {
  test::TempDir dir;
  dir.write("a.jpg", "jpeg");
  dir.makeFolder("folder");
  EXPECT_FALSE(copyFile(dir.file("missing.jpg"), dir.file("b.jpg")));
  EXPECT_FALSE(copyFile(dir.file("folder"), dir.file("b.jpg")));
  EXPECT_FALSE(copyFile(dir.file("a.jpg"), dir.file("missing/b.jpg")));
  EXPECT_FALSE(copyFile(dir.file("a.jpg"), dir.file("folder")));
  EXPECT_FALSE(copyFile(dir.file("a.jpg"), dir.file("a.jpg/b.jpg")));
  EXPECT_EQ(dir.names(), (Paths{"a.jpg", "folder"}));
  EXPECT_EQ(dir.read("a.jpg"), "jpeg");
}

TEST(CopyFile, FailsOnAnUnreadableSource) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads unreadable files";
  test::TempDir dir;
  dir.write("secret.raw", "data");
  ASSERT_EQ(::chmod(dir.file("secret.raw").c_str(), 0), 0);
  EXPECT_FALSE(copyFile(dir.file("secret.raw"), dir.file("copy.raw")));
}

TEST(CopyFile, ACopyOntoItselfLeavesTheFileIntact) {
  test::TempDir dir;
  dir.write("vol.raw", "volume data");
  ASSERT_EQ(::symlink(dir.file("vol.raw").c_str(), dir.file("link.raw").c_str()), 0);
  EXPECT_TRUE(copyFile(dir.file("vol.raw"), dir.file("vol.raw")));
  EXPECT_TRUE(copyFile(dir.file("vol.raw"), dir.path() + "/./vol.raw"));
  EXPECT_TRUE(copyFile(dir.file("vol.raw"), dir.file("link.raw")));
  EXPECT_EQ(dir.read("vol.raw"), "volume data");
}

TEST(CopyFile, CopiesALargeFileExactlyReportingProgressOverItsSize) {
  const std::string bytes = patternedBytes((std::size_t{20} << 20) + 12345);
  test::TempDir dir;
  dir.write("big.raw", bytes);
  std::uint64_t reported = 0;
  int calls = 0;
  ASSERT_TRUE(copyFile(dir.file("big.raw"), dir.file("copy.raw"), [&](std::uint64_t n) {
    reported += n;
    ++calls;
  }));
  EXPECT_TRUE(dir.read("copy.raw") == bytes);
  EXPECT_EQ(reported, bytes.size());
  EXPECT_GE(calls, 3);  // pieces of at most 8 MiB
}

// Between two file systems the kernel declines copy_file_range; sendfile takes over.
TEST(CopyFile, CopiesFromAnotherFileSystem) {
  test::TempDir dir;
  struct stat here {};
  struct stat shm {};
  if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0 ||
      ::stat(dir.path().c_str(), &here) != 0 || here.st_dev == shm.st_dev) {
    GTEST_SKIP() << "no second writable file system at /dev/shm";
  }
  const std::string source = "/dev/shm/vesk-test-" + std::to_string(::getpid()) + ".raw";
  const std::string bytes = patternedBytes((std::size_t{9} << 20) + 7);
  std::ofstream(source, std::ios::binary) << bytes;
  std::uint64_t reported = 0;
  EXPECT_TRUE(copyFile(source, dir.file("copy.raw"), [&](std::uint64_t n) { reported += n; }));
  ::unlink(source.c_str());
  EXPECT_TRUE(dir.read("copy.raw") == bytes);
  EXPECT_EQ(reported, bytes.size());
}

// Files of /proc tell a size of 0 but have content: only reading finds it.
TEST(CopyFile, CopiesAFileWhoseSizeIsUnknown) {
  if (!pathExists("/proc/self/status")) GTEST_SKIP() << "no /proc";
  test::TempDir dir;
  ASSERT_TRUE(copyFile("/proc/self/status", dir.file("status")));
  EXPECT_EQ(dir.read("status").rfind("Name:", 0), 0u);
}

TEST(CopyFile, ANewTargetGetsTheModeOfANewFile) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  test::TempDir dir;
  dir.write("run.sh", "#!/bin/sh\n");
  ASSERT_EQ(::chmod(dir.file("run.sh").c_str(), 0700), 0);
  ASSERT_TRUE(copyFile(dir.file("run.sh"), dir.file("copy.sh")));
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("copy.sh").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0666 & ~mask);
}

TEST(FileQueries, TellFoldersFilesAndMissingPathsApart) {
  test::TempDir dir;
  dir.write("a.raw", "12345");
  dir.makeFolder("ct");
  struct Case {
    std::string path;
    bool directory;
    bool exists;
    std::optional<std::uint64_t> size;
  };
  const Case cases[] = {
      {dir.file("a.raw"), false, true, 5},
      {dir.file("ct"), true, true, std::nullopt},
      {dir.file("ct/"), true, true, std::nullopt},
      {dir.file("ct/."), true, true, std::nullopt},
      {dir.file("ct/.."), true, true, std::nullopt},
      {dir.file("missing"), false, false, std::nullopt},
      {dir.file("a.raw/x"), false, false, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(isDirectory(c.path), c.directory);
    EXPECT_EQ(pathExists(c.path), c.exists);
    EXPECT_EQ(optionalOf(fileSize(c.path)), c.size);
  }
}

TEST(ReadFile, GivesTheWholeContentOfAFileOnly) {
  test::TempDir dir;
  const std::string bytes = patternedBytes(3 << 20);
  dir.write("data.bin", bytes);
  dir.write("empty", "");
  dir.makeFolder("ct");
  EXPECT_TRUE(optionalOf(readFile(dir.file("data.bin"))) == bytes);
  EXPECT_EQ(optionalOf(readFile(dir.file("empty"))), std::string());
  EXPECT_EQ(optionalOf(readFile(dir.file("ct"))), std::nullopt);
  EXPECT_EQ(optionalOf(readFile(dir.file("missing"))), std::nullopt);
}

TEST(ListPattern, ListsEveryMatchingEntryWithTheFolderPartInFront) {
  test::TempDir dir;
  dir.write("s/a.dcm", "");
  dir.write("s/b.dcm", "");
  dir.write("s/.hidden", "");
  dir.write("s/[x].raw", "");
  dir.write("s/表.raw", "");
  dir.makeFolder("s/sub");
  const std::string s = dir.file("s/");
  struct Case {
    std::string pattern;
    Paths paths;
  };
  const Case cases[] = {
      {"*", {".", "..", ".hidden", "[x].raw", "a.dcm", "b.dcm", "sub", "表.raw"}},
      {"*.dcm", {"a.dcm", "b.dcm"}},
      {"?.dcm", {"a.dcm", "b.dcm"}},
      {"?.raw", {"表.raw"}},     // "?" takes one character, not one byte
      {"[x].raw", {"[x].raw"}},  // brackets are plain characters
      {"a.dcm", {"a.dcm"}},
      {"*.jpg", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    Paths expected;
    for (const std::string& name : c.paths) expected.push_back(s + name);
    EXPECT_EQ(sorted(listPattern(s + c.pattern)), sorted(expected));
  }
  EXPECT_EQ(listPattern(dir.file("missing/*")), Paths{});
  EXPECT_EQ(listPattern(dir.file("s/a.dcm/*")), Paths{});
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  char* expected = ::realpath(VESK_PROGRAM_DIR, nullptr);
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(programFolder(), std::string(expected));
  std::free(expected);
}

}  // namespace
}  // namespace vesk
