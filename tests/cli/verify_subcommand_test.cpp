#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "messages/messages.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

TEST(CliVerify, ASoundPackageExitsZeroAndADamagedOneListsItsProblemsAndExitsOne) {
  vesk::test::TempDir dir;
  fs::copy(std::string(VESK_TEST_DATA_DIR) + "/verify/sound", dir.path(),
           fs::copy_options::recursive);
  std::ostringstream out, err;
  EXPECT_EQ(cli::run({"verify", dir.file("exhibition.nuv")}, out, err), 0) << err.str();
  // Made before packages had a manifest: the structure only, and it says so.
  EXPECT_EQ(out.str(), std::string(kVerifiedMessage) + "\n" + kVerifyNoManifest + "\n");

  fs::remove(dir.file("00/heart.raw"));
  fs::remove(dir.file("up.jpg"));
  std::ostringstream out2, err2;
  EXPECT_EQ(cli::run({"verify", dir.file("exhibition.nuv")}, out2, err2), 1);
  EXPECT_EQ(out2.str(), "");
  EXPECT_EQ(err2.str(), std::string(kVerifyFailedMessage) + "\n" + kVerifyPathMissing +
                            "00\\heart.raw\n" + kVerifyButtonMissing + "up.jpg\n");
}

#ifndef _WIN32
// A name in the package that a terminal would act on is shown written out.
TEST(CliVerify, AFileNameHoldingControlCharactersIsShownWrittenOut) {
  vesk::test::TempDir dir;
  std::ostringstream out, err;
  EXPECT_EQ(cli::run({"verify", dir.file("gone\033[2J/exhibition.nuv")}, out, err), 1);
  EXPECT_EQ(err.str().find('\033'), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("gone\\x1B[2J"), std::string::npos) << err.str();
}
#endif

TEST(CliVerify, APackageWithAManifestIsComparedByteForByteOrBySizeWithQuick) {
  vesk::test::TempDir dir;
  fs::copy(std::string(VESK_TEST_DATA_DIR) + "/verify/sound", dir.file("old"),
           fs::copy_options::recursive);
  std::ostringstream built, builtErr;
  ASSERT_EQ(cli::run({"build", "--from", dir.file("old/exhibition.nuv"), "--dest", dir.file("new"),
                      "--program-dir", VESK_PROGRAM_DIR},
                     built, builtErr),
            0)
      << builtErr.str();
  // The same size, other bytes: only the full check sees it.
  std::string scene = dir.read("new/01/head.obj");
  scene[0] = static_cast<char>(scene[0] ^ 1);
  dir.write("new/01/head.obj", scene);

  struct Case {
    std::vector<std::string> options;
    int exit;
    std::string out;
    std::string err;
  };
  const std::string document = dir.file("new/exhibition.nuv");
  const Case cases[] = {
      {{"--quick"},
       0,
       std::string(kVerifiedMessage) +
           "\nマニフェストの 22 個のファイルの有無とサイズだけを確かめました（内容は照合していま"
           "せん）。\n",
       ""},
      {{},
       1,
       "",
       std::string(kVerifyFailedMessage) +
           "\nファイルの内容が作成時と異なります（SHA-256 が一致しません）: " +
           dir.file("new/01/head.obj") + "\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"verify"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(document);
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(args, out, err), c.exit);
    EXPECT_EQ(out.str(), c.out);
    EXPECT_EQ(err.str(), c.err);
  }
}

}  // namespace
}  // namespace vesk
