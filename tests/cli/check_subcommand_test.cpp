#include <gtest/gtest.h>

#include <algorithm>
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

const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

class CliCheck : public ::testing::Test {
 protected:
  struct Result {
    int status;
    std::string out, err;
  };

  Result run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
  }

  // A sound entry in src/ whose thumbnail is `thumbnail` (a picture of the test data,
  // or a name that is not there).
  std::vector<std::string> args(const std::string& command, const std::string& thumbnail) {
    dir.write("src/s.nuv",
              "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n"
              "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
    dir.write("src/v.raw", "volume");
    if (fs::exists(kPictures + thumbnail)) dir.copyFrom(kPictures + thumbnail, "src/" + thumbnail);
    dir.copyFrom(kPictures + "portrait-480x640.png", "src/d.png");
    return {command,
            "--dest",
            dir.file("pkg"),
            "--program-dir",
            VESK_PROGRAM_DIR,
            "--entry",
            dir.file("src/s.nuv"),
            dir.file("src/" + thumbnail),
            dir.file("src/d.png")};
  }

  test::TempDir dir;
};

TEST_F(CliCheck, ExitStatusAndStreamsFollowWhatWasFound) {
  struct Case {
    const char* thumbnail;
    int status;
    std::string out;
    std::string errHeading;  // the first line on stderr; empty: nothing there
  };
  const std::vector<Case> cases = {
      {"landscape-320x240.jpg", 0, std::string(kCheckPassedMessage) + "\n", ""},
      {"square-100x100.png", 0, std::string(kCheckPassedMessage) + "\n", ""},  // square is fine
      {"tall-600x601.png", 0, "", kCheckWarningsHeading},
      {"none.jpg", 1, "", kCheckErrorsHeading},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.thumbnail);
    dir.clear();
    const Result result = run(args("check", c.thumbnail));
    EXPECT_EQ(result.status, c.status) << result.err;
    if (c.errHeading.empty()) {
      EXPECT_EQ(result.err, "");
      EXPECT_EQ(result.out, std::string(kCheckPassedMessage) + "\n");
    } else {
      EXPECT_EQ(result.out, c.out);
      EXPECT_EQ(result.err.substr(0, result.err.find('\n')), c.errHeading);
      // The heading, one line for the one problem, the line end.
      EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2) << result.err;
    }
    EXPECT_FALSE(fs::exists(dir.file("pkg"))) << "the check creates nothing";
  }
}

TEST_F(CliCheck, BuildStopsBeforeCopyingOnAnErrorAndGoesOnAfterAWarning) {
  const Result refused = run(args("build", "none.jpg"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err,
            std::string(kCheckErrorsHeading) +
                "\nエラー　00 サムネイルが見つかりません: " + dir.file("src/none.jpg") + "\n");
  EXPECT_FALSE(fs::exists(dir.file("pkg")));

  dir.clear();
  const Result built = run(args("build", "tall-600x601.png"));
  EXPECT_EQ(built.status, 0) << built.err;
  EXPECT_EQ(built.err.substr(0, built.err.find('\n')), kCheckWarningsHeading);
  EXPECT_NE(built.out.find("、警告 1 件\n"), std::string::npos) << built.out;
  EXPECT_TRUE(fs::exists(dir.file("pkg/exhibition.nuv")));
}

TEST_F(CliCheck, AnEarlierPackageIsAnErrorUnlessReplacing) {
  ASSERT_EQ(run(args("build", "landscape-320x240.jpg")).status, 0);
  EXPECT_EQ(run(args("check", "landscape-320x240.jpg")).status, 1);
  auto replacing = args("check", "landscape-320x240.jpg");
  replacing.push_back("--replace");
  const Result result = run(replacing);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, std::string(kCheckPassedMessage) + "\n");
}

TEST_F(CliCheck, UsageErrorsExitTwo) {
  EXPECT_EQ(run({"check"}).status, 2);
  EXPECT_EQ(run({"check", "--dest", "x", "--entry", "a.nuv", "t.jpg"}).status, 2);
  EXPECT_EQ(run({"check", "--dest", dir.file("x")}).status, 1);  // no entries
}

}  // namespace
}  // namespace vesk
