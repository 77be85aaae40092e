#include "package/package_verify.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "messages/messages.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

// A sound two-entry package, made by the create from the first two sample entries.
const std::string kSoundPackage = std::string(VESK_TEST_DATA_DIR) + "/verify/sound";

class PackageVerify : public ::testing::Test {
 public:
  void SetUp() override { fs::copy(kSoundPackage, dir.path(), fs::copy_options::recursive); }

  std::string document() const { return dir.file("exhibition.nuv"); }

  // Edits the document as text (UTF-8), writing it back as code page 932.
  void editDocument(const std::function<void(std::string&)>& edit) const {
    std::string text = decodeCp932(dir.read("exhibition.nuv"));
    edit(text);
    dir.write("exhibition.nuv", encodeCp932(text).value());
  }

  static void replace(std::string& text, const std::string& from, const std::string& to) {
    const auto pos = text.find(from);
    ASSERT_NE(pos, std::string::npos) << from;
    text.replace(pos, from.size(), to);
  }

  std::vector<std::string> problems() const {
    std::vector<std::string> lines;
    for (const auto& problem : verifyPackage(document())) lines.push_back(problem.text);
    return lines;
  }

  vesk::test::TempDir dir;
};

TEST_F(PackageVerify, TheSoundPackageHasNoProblem) {
  EXPECT_EQ(problems(), std::vector<std::string>{});
}

struct Damage {
  const char* name;
  std::function<void(PackageVerify&)> apply;
  std::vector<std::string> expected;  // "{doc}" stands for the document's path
};

TEST_F(PackageVerify, EachDamageIsNamedWithWhatItConcerns) {
  const std::string sep(1, static_cast<char>(fs::path::preferred_separator));
  const std::vector<Damage> damages = {
      {"missing data file",
       [](PackageVerify& t) { fs::remove(t.dir.file("00/heart.raw")); },
       {std::string(kVerifyPathMissing) + "00\\heart.raw"}},
      {"missing data folder",
       [](PackageVerify& t) { fs::remove_all(t.dir.file("01/ct")); },
       {std::string(kVerifyPathMissing) + "01\\ct\\"}},
      {"wrong picture size",
       [](PackageVerify& t) {
         t.editDocument([](std::string& text) {
           replace(text, "name=\"ex01\" type=\"image\" format=\"RGB\" size=\"",
                   "name=\"ex01\" type=\"image\" format=\"RGB\" size=\"1");
         });
       },
       {std::string(kVerifyPictureSizeWrong) +
        "01\\head_desc.png（記載 1480, 640、実際 480, 640）"}},
      {"replaced picture",
       [](PackageVerify& t) {
         t.dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/square-100x100.png",
                        "00/heart_desc.png");
       },
       {std::string(kVerifyPictureSizeWrong) +
        "00\\heart_desc.png（記載 480, 640、実際 100, 100）"}},
      {"reference that climbs out",
       [](PackageVerify& t) {
         t.editDocument([](std::string& text) {
           replace(text, "path=\"00\\heart.raw", "path=\"00\\..\\..\\heart.raw");
         });
       },
       {std::string(kVerifyPathOutside) + "00\\..\\..\\heart.raw"}},
      {"absolute reference",
       [](PackageVerify& t) {
         t.editDocument([](std::string& text) {
           replace(text, "path=\"00\\heart.raw", "path=\"/etc/heart.raw");
         });
       },
       {std::string(kVerifyAbsolutePath) + "/etc/heart.raw"}},
      {"missing scene and button image",
       [](PackageVerify& t) {
         fs::remove(t.dir.file("01/head.nuv"));
         fs::remove(t.dir.file("down.jpg"));
       },
       {std::string(kVerifyButtonMissing) + "down.jpg",
        std::string(kVerifySceneMissing) + "01" + sep}},
      {"entry event and menu page renamed",
       [](PackageVerify& t) {
         t.editDocument([](std::string& text) {
           replace(text, "<event name=\"goto_ob01\"", "<event name=\"goto_ob02\"");
           replace(text, "<drawGroup name=\"menu00\"", "<drawGroup name=\"menu01\"");
         });
       },
       {std::string(kVerifyEntryMismatch) + "goto_ob01",
        std::string(kVerifyEntryMismatch) + "goto_ob02",
        std::string(kVerifyMenuMismatch) + "menu00", std::string(kVerifyMenuMismatch) + "menu01"}},
      {"truncated document",
       [](PackageVerify& t) {
         t.editDocument([](std::string& text) { text.resize(text.size() / 2); });
       },
       {std::string(kVerifyDocumentMalformed) + "{doc}"}},
      {"undecodable bytes",
       [](PackageVerify& t) {
         std::string bytes = t.dir.read("exhibition.nuv");
         bytes.insert(bytes.find("<body>"), "\x81\x20\xA0");
         t.dir.write("exhibition.nuv", bytes);
       },
       {std::string(kVerifyDocumentUndecodable) + "{doc}"}},
      {"missing document",
       [](PackageVerify& t) { fs::remove(t.document()); },
       {"展示用nuvファイルを読み込めません（見つかりません）: {doc}"}},
  };
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.name);
    dir.clear();
    fs::copy(kSoundPackage, dir.path(), fs::copy_options::recursive);
    damage.apply(*this);
    std::vector<std::string> expected;
    for (std::string line : damage.expected) {
      const auto pos = line.find("{doc}");
      if (pos != std::string::npos) line.replace(pos, 5, document());
      expected.push_back(line);
    }
    EXPECT_EQ(problems(), expected);
  }
}

TEST(PackageVerifyText, TheFailureTextListsEveryProblemUnderItsHeading) {
  EXPECT_EQ(
      verifyFailureText({{PackageFault::ButtonMissing, "a"}, {PackageFault::SceneMissing, "b"}}),
      std::string(kVerifyFailedMessage) + "\na\nb");
}

}  // namespace
}  // namespace vesk
