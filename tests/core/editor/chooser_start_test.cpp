// Where the destination chooser opens for the browse start path.
#include "editor/chooser_start.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace vesk {
namespace {

TEST(ChooserStart, IsTheFolderOfTheStartPathWhileThatFolderExists) {
  test::TempDir dir;
  const std::string scene = dir.write("shows/s.nuv", "x");
  const std::string shows = dir.file("shows");
#ifdef _WIN32
  const std::string root = "C:\\";
#else
  const std::string root = "/";
#endif
  const struct {
    std::string start;
    std::string folder;
  } cases[] = {
      {shows, shows},
      {scene, shows},
      {dir.file("shows/gone.nuv"), shows},  // a dropped file removed since
      {root + "vesk-gone.nuv", root},       // a root keeps its separator
      {dir.file("missing/s.nuv"), ""},
      {"shows/s.nuv", ""},  // not absolute
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(chooserStartFolder(c.start), c.folder) << c.start;
}

}  // namespace
}  // namespace vesk
