#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

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
  EXPECT_EQ(out.str(), std::string(kVerifiedMessage) + "\n");

  fs::remove(dir.file("00/heart.raw"));
  fs::remove(dir.file("up.jpg"));
  std::ostringstream out2, err2;
  EXPECT_EQ(cli::run({"verify", dir.file("exhibition.nuv")}, out2, err2), 1);
  EXPECT_EQ(out2.str(), "");
  EXPECT_EQ(err2.str(), std::string(kVerifyFailedMessage) + "\n" + kVerifyPathMissing +
                            "00\\heart.raw\n" + kVerifyButtonMissing + "up.jpg\n");
}

}  // namespace
}  // namespace vesk
