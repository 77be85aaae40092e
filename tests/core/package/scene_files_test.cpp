#include "package/scene_files.h"

#include <gtest/gtest.h>

#include <string>

#include "base/cp932.h"
#include "format/scene_scan.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

// A scene read piece by piece is the text its bytes decode to whole, with the line
// ends made LF: double-byte characters and CR LF pairs fall on the boundaries of the
// pieces it is read in (1 MiB), and a last line without a line end gets one.
TEST(ReadSceneText, ReadsAFileInPiecesAsItsWholeBytesDecode) {
  test::TempDir dir;
  const std::size_t piece = std::size_t{1} << 20;
  // The pair of あ, its CR, the lead byte before the second CR: each on a boundary.
  for (const std::size_t before :
       {piece - 1, piece - 2, piece - 3, piece - 5, piece, 2 * piece - 1}) {
    SCOPED_TRACE(before);
    std::string bytes(before, 'a');
    bytes += "\x82\xA0\r\n\x81\r\nb\x8A";  // あ, a bad pair, a lone lead byte at the end
    dir.write("scene.nuv", bytes);
    std::string expected = decodeCp932(bytes);
    makeSceneText(expected);
    const Result<std::string> text = readSceneText(dir.file("scene.nuv"));
    ASSERT_TRUE(text);
    EXPECT_TRUE(*text == expected);
  }
  EXPECT_FALSE(readSceneText(dir.file("missing.nuv")));
}

}  // namespace
}  // namespace vesk
