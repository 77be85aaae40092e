#include "format/data_value.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/scene_merge.h"

namespace vesk {
namespace {

TEST(DataValue, ValuesLeavingTheSceneFolderAreNamedByTheirLastComponent) {
  struct Case {
    std::string value, packaged;
  };
  const std::vector<Case> cases{
      {"vol.raw", "vol.raw"},                 // stays
      {"m\\n\\mesh.obj", "m\\n\\mesh.obj"},   // stays, with its sub-folders
      {"a..b\\c.raw", "a..b\\c.raw"},         // ".." only as a whole component
      {"", ""},                               // the bare scene folder stays as it was
      {"..\\mesh.obj", "mesh.obj"},           // climbs out
      {"m\\..\\..\\x.obj", "x.obj"},          // climbs out further down
      {"../up/ct\\", "ct\\"},                 // a folder keeps its separator
      {"\\\\server\\share\\u.obj", "u.obj"},  // UNC
      {"C:\\data\\v.raw", "v.raw"},           // absolute with a drive
      {"/abs/v.raw", "v.raw"},                // absolute POSIX
  };
  for (const Case& c : cases) {
    EXPECT_EQ(packagedDataValue(c.value), c.packaged) << c.value;
  }
}

TEST(DataValue, TheMergedSceneNamesAClimbingValueAsItsCopy) {
  std::string text;
  std::vector<std::string> groups;
  mergeSceneLines(text, 3,
                  {"<data name=\"m\"><file path=\"..\\shared\\mesh.obj\" /></data>",
                   "<data name=\"v\"><file path=\"sub\\v.raw\" /></data>"},
                  groups);
  EXPECT_EQ(text,
            "<data name=\"03_m\"><file path=\"03\\mesh.obj\" /></data>\n"
            "<data name=\"03_v\"><file path=\"03\\sub\\v.raw\" /></data>\n");
}

}  // namespace
}  // namespace vesk
