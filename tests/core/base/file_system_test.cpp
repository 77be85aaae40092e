#include "base/file_system.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
// The suite keeps its name: windows.h makes CopyFile a macro.
#undef CopyFile
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "base/atomic_file.h"
#include "base/path_terms.h"
#include "base/sha256.h"
#include "image/image_probe.h"
#include "support/temp_dir.h"
#include "support/unreadable_file.h"

namespace vesk {
namespace {

// A result as an optional value, for comparisons.
template <typename T>
std::optional<T> optionalOf(Result<T> result) {
  if (!result) return std::nullopt;
  return std::move(*result);
}

using Paths = std::vector<std::string>;
const std::string kSeparator(1, kPathSeparator);

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

#ifndef _WIN32
TEST(CopyFile, FailsOnAnUnreadableSource) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads unreadable files";
  test::TempDir dir;
  dir.write("secret.raw", "data");
  ASSERT_EQ(::chmod(dir.file("secret.raw").c_str(), 0), 0);
  EXPECT_FALSE(copyFile(dir.file("secret.raw"), dir.file("copy.raw")));
}
#endif

TEST(CopyFile, FailsOnASourceHeldOpenOrADanglingLink) {
  test::TempDir dir;
  const test::UnreadableFile unreadable(toFsPath(dir.file("held.raw")));
  const Status copied = copyFile(dir.file("held.raw"), dir.file("copy.raw"));
  ASSERT_FALSE(copied.ok());
  EXPECT_EQ(copied.failure().path, dir.file("held.raw"));
}

TEST(CopyFile, ACopyOntoItselfLeavesTheFileIntact) {
  test::TempDir dir;
  dir.write("vol.raw", "volume data");
  std::vector<std::string> sameFile{dir.file("vol.raw"), dir.file("./vol.raw"),
                                    dir.file("sub/../vol.raw")};
  dir.makeFolder("sub");
#ifdef _WIN32
  // Windows names are case-insensitive, and "/" separates as "\\" does.
  sameFile.push_back(dir.file("VOL.RAW"));
  sameFile.push_back(dir.path() + "/vol.raw");
#else
  ASSERT_EQ(::symlink(dir.file("vol.raw").c_str(), dir.file("link.raw").c_str()), 0);
  sameFile.push_back(dir.file("link.raw"));
#endif
  for (const std::string& target : sameFile) {
    EXPECT_TRUE(copyFile(dir.file("vol.raw"), target)) << target;
    EXPECT_EQ(dir.read("vol.raw"), "volume data") << target;
  }
}

TEST(CopyFile, CopiesALargeFileExactlyReportingProgressOverItsSize) {
  const std::string bytes = patternedBytes((std::size_t{20} << 20) + 12345);
  test::TempDir dir;
  dir.write("big.raw", bytes);
  std::uint64_t reported = 0;
  int calls = 0;
  std::uint64_t largest = 0;
  ASSERT_TRUE(copyFile(dir.file("big.raw"), dir.file("copy.raw"), [&](std::uint64_t n) {
    reported += n;
    largest = std::max(largest, n);
    ++calls;
    return true;
  }));
  EXPECT_TRUE(dir.read("copy.raw") == bytes);
  EXPECT_EQ(reported, bytes.size());
  EXPECT_GE(calls, 6);
  EXPECT_LE(largest, kCopyPieceBytes);
}

// A progress that returns false stops the copy after that piece: no further piece is
// read, the result says Cancelled, and the partial target is gone, also where a file
// stood at the target before (the copy had truncated it already).
TEST(CopyFile, AProgressThatSaysStopEndsTheCopyAfterThatPieceAndRemovesThePartialTarget) {
  const std::string bytes = patternedBytes((std::size_t{13} << 20) + 3);
  struct Case {
    const char* label;
    int stopAtCall;
    bool targetExisted;
  };
  const Case cases[] = {
      {"first piece", 1, false},
      {"second piece", 2, false},
      {"third piece, over an earlier file", 3, true},
  };
  test::TempDir dir;
  dir.write("big.raw", bytes);
  for (const Case& c : cases) {
    const std::string target = dir.file("copy.raw");
    if (c.targetExisted) dir.write("copy.raw", "earlier");
    int calls = 0;
    const Status copied = copyFile(dir.file("big.raw"), target,
                                   [&](std::uint64_t) { return ++calls < c.stopAtCall; });
    ASSERT_FALSE(copied) << c.label;
    EXPECT_EQ(copied.failure().code, FailureCode::Cancelled) << c.label;
    EXPECT_EQ(copied.failure().path, target) << c.label;
    EXPECT_EQ(calls, c.stopAtCall) << c.label;
    EXPECT_FALSE(pathExists(target)) << c.label;
    EXPECT_EQ(dir.read("big.raw").size(), bytes.size()) << c.label;
  }
}

// Watched, a copy hands over exactly the bytes it writes, in order, whatever the size,
// and all of them before it returns; also to a watcher slower than the copy, which
// a large file's copy waits for rather than holding more and more of it in memory,
// and to one that gives the room to read into (of sizes that do not divide the
// file's), which gets each piece where the room it gave starts.
TEST(CopyFile, HandsEveryPieceWrittenToItsWatcher) {
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  constexpr auto kPiece = static_cast<std::size_t>(kCopyPieceBytes);
  enum class Watcher { kFast, kSlow, kInRoom };
  const std::size_t roomSizes[] = {kMiB + 7, 1000, 3 * kMiB};
  test::TempDir dir;
  for (const Watcher watcher : {Watcher::kFast, Watcher::kSlow, Watcher::kInRoom}) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kMiB - 1, kMiB, kMiB + 1,
                                   kPiece - 1, kPiece, kPiece + 1, 9 * kMiB + 3}) {
      const std::string label =
          std::to_string(size) + " watcher " + std::to_string(static_cast<int>(watcher));
      const std::string bytes = patternedBytes(size);
      dir.write("in.raw", bytes);
      dir.write("out.raw", "an earlier, longer file at the target");
      std::string seen;
      Sha256 hash;
      std::uint64_t reported = 0;
      CopyContent content = [&](std::string_view piece) {
        if (watcher == Watcher::kSlow) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        seen += piece;
        hash.update(piece);
      };
      std::vector<char> room(3 * kMiB);
      std::size_t rooms = 0;
      bool inRoom = true;
      if (watcher == Watcher::kInRoom) {
        content.room = [&] { return std::span<char>(room.data(), roomSizes[rooms % 3]); };
        content.written = [&, watch = content.written](std::string_view piece) {
          inRoom = inRoom && piece.data() == room.data() && piece.size() <= roomSizes[rooms % 3];
          ++rooms;
          watch(piece);
        };
      }
      ASSERT_TRUE(copyFile(
          dir.file("in.raw"), dir.file("out.raw"),
          [&](std::uint64_t n) { return (reported += n) > 0; }, content))
          << label;
      EXPECT_TRUE(inRoom) << label;
      EXPECT_TRUE(seen == bytes) << label;
      EXPECT_EQ(hexText(hash.finish().value()), hexText(sha256Of(bytes).value())) << label;
      EXPECT_TRUE(dir.read("out.raw") == bytes) << label;
      EXPECT_EQ(reported, size) << label;
    }
  }
}

// A watched copy that is cancelled or fails stops within a piece: the watcher has
// seen only bytes of the file's start, and is never called after the copy returned.
TEST(CopyFile, AWatchedCopyThatStopsCallsItsWatcherNoMore) {
  const std::string bytes = patternedBytes((std::size_t{13} << 20) + 3);
  test::TempDir dir;
  dir.write("big.raw", bytes);
  const std::string target = dir.file("copy.raw");
  std::string seen;
  std::atomic<bool> returned = false;
  std::atomic<bool> calledAfterReturn = false;
  const auto watch = [&](std::string_view piece) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (returned) calledAfterReturn = true;
    seen += piece;
  };
  int calls = 0;
  const Status cancelled = copyFile(
      dir.file("big.raw"), target, [&](std::uint64_t) { return ++calls < 3; }, watch);
  returned = true;
  ASSERT_FALSE(cancelled);
  EXPECT_EQ(cancelled.failure().code, FailureCode::Cancelled);
  EXPECT_EQ(calls, 3);
  EXPECT_FALSE(pathExists(target));
  EXPECT_LE(seen.size(), std::size_t{3} * kCopyPieceBytes);
  EXPECT_TRUE(bytes.compare(0, seen.size(), seen) == 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(calledAfterReturn);

#ifndef _WIN32
  // A target that cannot grow past 3 MiB: the write fails with EFBIG (the signal that
  // comes with it is ignored meanwhile).
  seen.clear();
  returned = false;
  struct rlimit limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  struct rlimit lowered = limit;
  lowered.rlim_cur = rlim_t{3} << 20;
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &lowered), 0);
  const Status failed = copyFile(dir.file("big.raw"), target, {}, watch);
  returned = true;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.failure().code, FailureCode::WriteFailed);
  EXPECT_EQ(failed.failure().path, target);
  EXPECT_EQ(failed.failure().systemError, EFBIG);
  EXPECT_LE(seen.size(), std::size_t{3} << 20);
  EXPECT_TRUE(bytes.compare(0, seen.size(), seen) == 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(calledAfterReturn);
#endif
}

#ifndef _WIN32
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
  EXPECT_TRUE(copyFile(source, dir.file("copy.raw"), [&](std::uint64_t n) {
    reported += n;
    return true;
  }));
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
#endif

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
#ifdef _WIN32
  // Wine shows the build folder under a drive letter of its own: the folder is known
  // by the program in it.
  EXPECT_TRUE(pathExists(programFolder() + "\\vesk-tests.exe")) << programFolder();
#else
  char* expected = ::realpath(VESK_PROGRAM_DIR, nullptr);
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(programFolder(), std::string(expected));
  std::free(expected);
#endif
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

// Folders nested past the classic 260-character limit of Windows paths.
TEST(LongPaths, AFileDeeperThan260CharactersIsCreatedCopiedListedReadMeasuredAndReplaced) {
  test::TempDir dir;
  const std::string part(60, 'd');
  std::vector<std::string> folders{dir.file(part)};
  while (folders.back().size() < 300) folders.push_back(folders.back() + kSeparator + part);
  for (const std::string& folder : folders) ASSERT_TRUE(createDirectory(folder)) << folder;
  const std::string deep = folders.back() + kSeparator;
  ASSERT_GT(deep.size(), 300u);

  dir.write("source.raw", "long way down");
  ASSERT_TRUE(copyFile(dir.file("source.raw"), deep + "copy.raw"));
  EXPECT_TRUE(pathExists(deep + "copy.raw"));
  EXPECT_TRUE(isDirectory(deep));
  EXPECT_EQ(optionalOf(fileSize(deep + "copy.raw")), 13u);
  EXPECT_EQ(optionalOf(readFile(deep + "copy.raw")), std::string("long way down"));
  EXPECT_EQ(listPattern(deep + "*.raw"), Paths{deep + "copy.raw"});
  // Through ".." as data values climb: resolved before the long form is taken.
  ASSERT_TRUE(createDirectory(deep + part));
  EXPECT_EQ(optionalOf(readFile(deep + part + kSeparator + ".." + kSeparator + "copy.raw")),
            std::string("long way down"));

  ASSERT_TRUE(
      copyFile(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png", deep + "d.png"));
  const auto size = probeImageSize(deep + "d.png");
  ASSERT_TRUE(size.ok());
  EXPECT_EQ(size->width, 480);
  EXPECT_EQ(size->height, 640);

  ASSERT_TRUE(writeFileAtomically(deep + "doc.nuv", std::string("document")));
  ASSERT_TRUE(writeFileAtomically(deep + "doc.nuv", std::string("replaced")));
  EXPECT_EQ(optionalOf(readFile(deep + "doc.nuv")), std::string("replaced"));
  EXPECT_EQ(sorted(listPattern(deep + "*")),
            sorted(Paths{deep + ".", deep + "..", deep + "copy.raw", deep + "d.png",
                         deep + "doc.nuv", deep + part}));

#ifdef _WIN32
  // The temporary folder's own removal does not reach this deep.
  for (const char* name : {"copy.raw", "d.png", "doc.nuv"})
    DeleteFileW(win32Path(deep + name).c_str());
  RemoveDirectoryW(win32Path(deep + part).c_str());
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    RemoveDirectoryW(win32Path(*it).c_str());
  }
#endif
}

#ifdef _WIN32
TEST(LongPaths, EveryAbsolutePathTakesTheLongForm) {
  const std::string tail(250, 'x');
  const std::wstring wideTail(250, L'x');
  struct Case {
    std::string path;
    std::wstring expected;
  };
  const Case cases[] = {
      {"C:\\short\\a.raw", L"\\\\?\\C:\\short\\a.raw"},
      {"c:/short/./a.raw", L"\\\\?\\c:\\short\\a.raw"},
      {"\\\\server\\share\\a.raw", L"\\\\?\\UNC\\server\\share\\a.raw"},
      {"C:\\s\\" + tail, L"\\\\?\\C:\\s\\" + wideTail},
      {"c:/s/t/../" + tail, L"\\\\?\\c:\\s\\" + wideTail},
      {"\\\\server\\share\\" + tail, L"\\\\?\\UNC\\server\\share\\" + wideTail},
      {"s\\" + tail, L"s\\" + wideTail},  // relative: left as it is
      {"\\\\?\\C:\\" + tail, L"\\\\?\\C:\\" + wideTail},
      {"C:\\表\\" + tail, L"\\\\?\\C:\\\u8868\\" + wideTail},
  };
  for (const Case& c : cases) EXPECT_TRUE(win32Path(c.path) == c.expected) << c.path;
}
#endif

}  // namespace
}  // namespace vesk
