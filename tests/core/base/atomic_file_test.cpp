#include "base/atomic_file.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <string>
#include <vector>

#include "base/file_system.h"
#include "package/failure_text.h"
#include "support/temp_dir.h"
#include "support/unreadable_file.h"

namespace vesk {
namespace {

using Names = std::vector<std::string>;

// Writes as writeFileAtomically does; on failure `error` gets the operator's message.
template <typename Content>
bool writeAtomically(const std::string& path, const Content& content, std::string& error) {
  const Status written = writeFileAtomically(path, content);
  if (!written) error = writeFailureText(written.failure());
  return written.ok();
}

std::string failurePrefix(const std::string& path) {
  return "エラー　" + path + "を書き込めませんでした: ";
}

#ifndef _WIN32
mode_t modeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}
#endif

TEST(AtomicFile, CreatesANewFileWithTheBytes) {
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(writeAtomically(dir.file("new.bin"), std::string("a\0b\r\n", 5), error));
  EXPECT_EQ(dir.read("new.bin"), std::string("a\0b\r\n", 5));
  EXPECT_EQ(dir.names(), Names{"new.bin"});
}

TEST(AtomicFile, ReplacesALongerFileWhole) {
  test::TempDir dir;
  dir.write("doc.nuv", std::string(10000, 'o'));
  std::string error;
  ASSERT_TRUE(writeAtomically(dir.file("doc.nuv"), "new", error)) << error;
  EXPECT_EQ(dir.read("doc.nuv"), "new");
  ASSERT_TRUE(writeAtomically(dir.file("doc.nuv"), "", error)) << error;
  EXPECT_EQ(dir.read("doc.nuv"), "");
  EXPECT_EQ(dir.names(), Names{"doc.nuv"});
}

TEST(AtomicFile, WritesEveryPieceOfAProducerIncludingTheLast) {
  test::TempDir dir;
  int calls = 0;
  const ContentWriter produce = [&](std::string& out) -> Result<bool> {
    ++calls;
    out += "piece" + std::to_string(calls) + ";";
    return calls < 3;
  };
  std::string error;
  ASSERT_TRUE(writeAtomically(dir.file("doc.nuv"), produce, error)) << error;
  EXPECT_EQ(dir.read("doc.nuv"), "piece1;piece2;piece3;");
}

TEST(AtomicFile, AFailingProducerLeavesTheOldFileAndNoTemporaryFile) {
  test::TempDir dir;
  dir.write("doc.nuv", "old");
  int calls = 0;
  const ContentWriter produce = [&](std::string& out) -> Result<bool> {
    if (++calls == 3) {
      Failure failure = makeFailure(FailureCode::UnencodableText);
      failure.context = "the producer's message";
      return failure;
    }
    out += std::string(1 << 20, 'n');
    return true;
  };
  const Status written = writeFileAtomically(dir.file("doc.nuv"), produce);
  ASSERT_FALSE(written.ok());
  EXPECT_EQ(written.failure().context, "the producer's message");
  EXPECT_EQ(dir.read("doc.nuv"), "old");
  EXPECT_EQ(dir.names(), Names{"doc.nuv"});
}

TEST(AtomicFile, FailsCleanlyWhereTheTargetCannotBeWritten) {
  test::TempDir dir;
  dir.write("file", "a file, not a folder");
  dir.makeFolder("folder");
  dir.write("folder/inside", "kept");
  const std::string targets[] = {
      dir.file("missing/doc.nuv"),  // the folder is missing
      dir.file("file/doc.nuv"),     // the folder is a file
      dir.file("folder"),           // the target is a folder
      dir.file("folder/"),          // the target names no file
  };
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    std::string error;
    EXPECT_FALSE(writeAtomically(target, "new", error));
    EXPECT_EQ(error.rfind(failurePrefix(target), 0), 0u) << error;
    EXPECT_GT(error.size(), failurePrefix(target).size());
  }
  EXPECT_EQ(dir.names(), (Names{"file", "folder"}));
  EXPECT_EQ(dir.names("folder"), Names{"inside"});
  EXPECT_EQ(dir.read("file"), "a file, not a folder");
}

#ifdef _WIN32
// Windows' counterpart of a folder that refuses the write: a target that another
// program holds open without sharing. The replace is retried briefly, then fails.
TEST(AtomicFile, FailsCleanlyOnATargetHeldOpenWithoutSharing) {
  test::TempDir dir;
  {
    const test::UnreadableFile held(toFsPath(dir.file("doc.nuv")));
    std::string error;
    EXPECT_FALSE(writeAtomically(dir.file("doc.nuv"), "new", error));
    EXPECT_EQ(error.rfind(failurePrefix(dir.file("doc.nuv")), 0), 0u) << error;
    EXPECT_EQ(dir.names(), Names{"doc.nuv"});
  }
  EXPECT_EQ(dir.read("doc.nuv"), "");
}
#else
TEST(AtomicFile, FailsCleanlyInAReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  test::TempDir dir;
  dir.write("locked/doc.nuv", "old");
  ASSERT_EQ(::chmod(dir.file("locked").c_str(), 0555), 0);
  std::string error;
  EXPECT_FALSE(writeAtomically(dir.file("locked/doc.nuv"), "new", error));
  EXPECT_EQ(error.rfind(failurePrefix(dir.file("locked/doc.nuv")), 0), 0u) << error;
  EXPECT_EQ(dir.read("locked/doc.nuv"), "old");
  EXPECT_EQ(dir.names("locked"), Names{"doc.nuv"});
}

TEST(AtomicFile, ANewFileGetsTheUsualModeAndAReplacedFileKeepsItsOwn) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(writeAtomically(dir.file("new.nuv"), "x", error)) << error;
  EXPECT_EQ(modeOf(dir.file("new.nuv")), 0666 & ~mask);

  dir.write("kept.nuv", "old");
  ASSERT_EQ(::chmod(dir.file("kept.nuv").c_str(), 0604), 0);
  ASSERT_TRUE(writeAtomically(dir.file("kept.nuv"), "new", error)) << error;
  EXPECT_EQ(modeOf(dir.file("kept.nuv")), 0604u);
}
#endif

}  // namespace
}  // namespace vesk
