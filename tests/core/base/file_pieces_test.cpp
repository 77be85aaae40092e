#include "base/file_pieces.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/file_kind.h"
#include "base/file_system.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

// Pieces joined give the file; what readFile refuses is refused.
TEST(ReadFileInPieces, GivesTheWholeFileInBoundedPiecesInOrder) {
  test::TempDir dir;
  std::string bytes;
  for (std::size_t i = 0; bytes.size() < (std::size_t{5} << 20) / 2 + 7; ++i) {
    bytes += std::to_string(i * 7919) + ",";
  }
  dir.write("data.bin", bytes);
  dir.write("empty", "");
  dir.makeFolder("folder");

  std::string joined;
  std::size_t largest = 0;
  std::uint64_t size = 0;
  ASSERT_TRUE(readFileInPieces(
      dir.file("data.bin"),
      [&](std::string_view piece) {
        joined += piece;
        largest = std::max(largest, piece.size());
      },
      &size));
  EXPECT_TRUE(joined == bytes);
  EXPECT_EQ(size, bytes.size());
  EXPECT_LE(largest, std::size_t{1} << 20);

  int pieces = 0;
  EXPECT_TRUE(readFileInPieces(dir.file("empty"), [&](std::string_view) { ++pieces; }));
  EXPECT_EQ(pieces, 0);
  EXPECT_FALSE(readFileInPieces(dir.file("folder"), [&](std::string_view) { ++pieces; }));
  const Status missing = readFileInPieces(dir.file("missing"), [&](std::string_view) { ++pieces; });
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.failure().code, FailureCode::NotFound);
  EXPECT_EQ(pieces, 0);

  // A stop set while a piece is handed ends the read there.
  std::atomic<bool> stop{false};
  const Status stopped = readFileInPieces(
      dir.file("data.bin"),
      [&](std::string_view) {
        ++pieces;
        stop = true;
      },
      nullptr, &stop);
  ASSERT_FALSE(stopped);
  EXPECT_EQ(stopped.failure().code, FailureCode::Cancelled);
  EXPECT_EQ(pieces, 1);
}

// Both whole reads refuse the same files on every platform, without reading them: a
// folder as no regular file, a file past the read limit as too large.
TEST(WholeReads, RefuseAFolderAndAFilePastTheLimitAlike) {
  test::TempDir dir;
  dir.makeFolder("folder");
  dir.write("huge", "");
  // Sparse where the file system allows: nothing is written.
  std::filesystem::resize_file(dir.file("huge"), kMaxReadBytes + 1);
  const std::pair<const char*, FailureCode> cases[] = {{"folder", FailureCode::NotRegularFile},
                                                       {"huge", FailureCode::ReadFailed}};
  for (const auto& [name, code] : cases) {
    std::uint64_t read = 0;
    const Status pieces =
        readFileInPieces(dir.file(name), [&](std::string_view piece) { read += piece.size(); });
    ASSERT_FALSE(pieces) << name;
    EXPECT_EQ(pieces.failure().code, code) << name;
    EXPECT_EQ(read, 0u) << name;
    const Result<std::string> whole = readFile(dir.file(name));
    ASSERT_FALSE(whole) << name;
    EXPECT_EQ(whole.failure().code, code) << name;
  }
}

}  // namespace
}  // namespace vesk
