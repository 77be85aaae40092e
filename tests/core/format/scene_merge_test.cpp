#include "format/scene_merge.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/cp932.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

class SceneMerge : public ::testing::Test {
 protected:
  // Merges a scene with the given UTF-8 text (written as code page 932 with CR LF).
  std::string merge(const std::string& scene, int entryNumber) {
    std::string crlf;
    for (char c : scene) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    const auto encoded = encodeCp932(crlf);
    EXPECT_TRUE(encoded.ok());
    dir.write("scene.nuv", encoded.value_or(""));
    std::string text = "before\n";
    mergeEntryScene(text, entryNumber, ExhibitionEntry{dir.file("scene.nuv"), "", "", {}},
                    topGroupNames);
    return text.substr(7);
  }

  vesk::test::TempDir dir;
  std::vector<std::string> topGroupNames{"earlier"};
};

TEST_F(SceneMerge, RenamesDataAndDrawGroupsUnderTheEntryNumber) {
  const std::string scene =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>\n"
      "<NuvrelFile version=\"1.35\">\n"
      "<body>\n"
      "<firstSetting spaceNum=\"1\" />\n"
      "  <data name=\"vol\" type=\"volume\" ><file type=\"raw\" path=\"vol.raw\" /></data>\n"
      "<drawGroup name=\"Surface\" caption=\"サーフェイスレンダリング\" >\n"
      "  <drawUnit><surface coordinate_data=\"vol\" volume_data=\"vol\" /></drawUnit>\n"
      "</drawGroup>\n"
      "<event name=\"e\" ><topGroup name=\"Surface\" /></event>\n"
      "</body>\n"
      "</NuvrelFile>\n";
  EXPECT_EQ(merge(scene, 3),
            "<data name=\"03_vol\" type=\"volume\" ><file type=\"raw\" path=\"03\\vol.raw\" "
            "/></data>\n"
            "<drawGroup name=\"03_Surface\" ><childGroup name=\"ex03\" />\n"
            "  <drawUnit><surface coordinate_data=\"03_vol\" volume_data=\"03_vol\" /></drawUnit>\n"
            "</drawGroup>\n");
  EXPECT_EQ(topGroupNames, (std::vector<std::string>{"earlier", "03_Surface"}));
}

TEST_F(SceneMerge, EveryReferenceAttributeIsPrefixedAndOthersAreKept) {
  const std::string scene =
      "<drawGroup name=\"Bone\" friendGroup=\"Skin\" ><drawUnit>"
      "<x coordinate_data=\"c\" index_data=\"i\" volume_data=\"v\" clipCap_data=\"k\" "
      "image_data=\"img\" /><childGroup name=\"kept\" /></drawUnit></drawGroup>\n";
  EXPECT_EQ(merge(scene, 0),
            "<drawGroup name=\"00_Bone\" friendGroup=\"00_Skin\" ><childGroup name=\"ex00\" />"
            "<drawUnit><x coordinate_data=\"00_c\" index_data=\"00_i\" volume_data=\"00_v\" "
            "clipCap_data=\"00_k\" image_data=\"img\" /><childGroup name=\"kept\" />"
            "</drawUnit></drawGroup>\n");
  EXPECT_EQ(topGroupNames, (std::vector<std::string>{"earlier"}));
}

TEST_F(SceneMerge, EveryNameAndPathInADataElementIsPrefixed) {
  const std::string scene =
      "<data name=\"a\" filename=\"f\"><file path=\"m\\mesh.obj\" /><sub name=\"b\" "
      "path=\"x\" /></data>\n";
  EXPECT_EQ(merge(scene, 12),
            "<data name=\"12_a\" filename=\"12_f\"><file path=\"12\\m\\mesh.obj\" /><sub "
            "name=\"12_b\" path=\"12\\x\" /></data>\n");
}

TEST_F(SceneMerge, IdenticalCopiesAppearOnceAndMultiLineElementsKeepTheirLines) {
  const std::string element = "<data name=\"v\">\n    <file path=\"v.raw\" />\n  </data>";
  const std::string scene = "  " + element + "\n" + element + "\n<data name=\"v\" ></data>\n";
  EXPECT_EQ(merge(scene, 1),
            "<data name=\"01_v\">\n    <file path=\"01\\v.raw\" />\n  </data>\n"
            "<data name=\"01_v\" ></data>\n");
}

TEST_F(SceneMerge, SurGroupsAreCollectedCaseSensitivelyInOrder) {
  struct Case {
    std::vector<std::string> groupNames;
    std::vector<std::string> collected;
  };
  for (const Case& c :
       {Case{{"SurfaceA", "SurfaceB"}, {"05_SurfaceA", "05_SurfaceB"}},
        Case{{"Volume", "Bone"}, {}}, Case{{"surface01", "BigSur"}, {"05_BigSur"}}}) {
    std::string scene;
    for (const auto& name : c.groupNames) {
      scene += "<drawGroup name=\"" + name + "\" ></drawGroup>\n";
    }
    topGroupNames.clear();
    merge(scene, 5);
    EXPECT_EQ(topGroupNames, c.collected) << scene;
  }
}

TEST_F(SceneMerge, ACaptionIsRemovedOnlyInItsExactForm) {
  const std::string scene =
      "<drawGroup name=\"g\" caption=\"ボリュームレンダリング\" a=\"1\" "
      "caption=\"ボリュームレンダリング\"/> caption=\"心臓\" >"
      "caption=\"サーフェイスレンダリング\" </drawGroup>\n";
  EXPECT_EQ(merge(scene, 0),
            "<drawGroup name=\"00_g\" a=\"1\" caption=\"ボリュームレンダリング\"/"
            "><childGroup name=\"ex00\" /> caption=\"心臓\" ></drawGroup>\n");
}

TEST_F(SceneMerge, AStartTagWithAnotherAttributeFirstKeepsItsNameButTheTopGroupIsPrefixed) {
  const std::string scene = "<drawGroup layer=\"a\" name=\"Sur1\" ></drawGroup>\n";
  EXPECT_EQ(merge(scene, 2),
            "<drawGroup layer=\"a\" name=\"Sur1\" ><childGroup name=\"ex02\" /></drawGroup>\n");
  EXPECT_EQ(topGroupNames.back(), "02_Sur1");
}

TEST_F(SceneMerge, ANestedGroupEndsTheOuterCutAndTheRestIsSearchedAgain) {
  const std::string scene =
      "<drawGroup name=\"Outer\"><drawGroup name=\"In1\"></drawGroup>"
      "<drawGroup name=\"In2\"></drawGroup></drawGroup>\n";
  EXPECT_EQ(merge(scene, 0),
            "<drawGroup name=\"00_Outer\"><childGroup name=\"ex00\" /><drawGroup "
            "name=\"00_In1\"></drawGroup>\n"
            "<drawGroup name=\"00_In2\"><childGroup name=\"ex00\" /></drawGroup>\n");
}

TEST_F(SceneMerge, AtMostOneHundredElementsOfEachKind) {
  std::string scene;
  for (int i = 0; i < 150; ++i) {
    scene += "<data name=\"d" + std::to_string(i) + "\"></data>\n";
    scene += "<drawGroup name=\"g" + std::to_string(i) + "\"></drawGroup>\n";
  }
  const std::string merged = merge(scene, 0);
  EXPECT_NE(merged.find("\"00_d99\""), std::string::npos);
  EXPECT_EQ(merged.find("\"00_d100\""), std::string::npos);
  EXPECT_NE(merged.find("\"00_g99\""), std::string::npos);
  EXPECT_EQ(merged.find("\"00_g100\""), std::string::npos);
}

TEST_F(SceneMerge, AnUnreadableOrEmptySceneContributesNothing) {
  std::string text = "x";
  mergeEntryScene(text, 0, ExhibitionEntry{dir.file("missing.nuv"), "", "", {}}, topGroupNames);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(merge("<NuvrelFile><data name=\"a\">no end\n", 0), "");
}

}  // namespace
}  // namespace vesk
