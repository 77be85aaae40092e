// A package whose destination and whose data folder lie past the classic 260-character
// limit of Windows: the check lists that folder (never the current one), and the
// create and its verify succeed. On POSIX the same paths are ordinary ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "package/build_command.h"
#include "package/package_plan.h"
#include "package/package_verify.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

const std::string kSep(1, kPathSeparator);
const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

// `top` below the test's folder, followed by folders of 60 characters until the path
// holds at least `length` characters; made through base.
std::string longFolder(const test::TempDir& dir, const std::string& top, std::size_t length) {
  std::string path = dir.path() + kSep + top;
  for (char c = 'a'; path.size() < length; ++c) path += kSep + std::string(60, c);
  EXPECT_TRUE(createFolders(path)) << path;
  return path;
}

// Copies a file made at a short path to `target`, which base's copy takes at any length.
void place(const test::TempDir& dir, const std::string& target, const std::string& bytes) {
  ASSERT_TRUE(copyFile(dir.write("staging.tmp", bytes), target)) << target;
}

TEST(LongPaths, ADataFolderAndADestinationOfThreeHundredCharactersAreCheckedCreatedAndVerified) {
  test::TempDir dir;
  const std::string source = longFolder(dir, "src", 290);
  const std::string data = source + kSep + "ct";
  ASSERT_TRUE(createDirectory(data));
  ASSERT_GE(data.size(), 300u);
  place(dir, source + kSep + "a.nuv",
        "<data name=\"ct\"><file path=\"ct\\\" /></data>\r\n<drawGroup name=\"Sur\" "
        "></drawGroup>\r\n");
  ASSERT_TRUE(copyFile(kPictures + "landscape-320x240.jpg", source + kSep + "t.jpg"));
  ASSERT_TRUE(copyFile(kPictures + "portrait-480x640.png", source + kSep + "d.png"));
  place(dir, data + kSep + "1.dcm", "slice one");
  place(dir, data + kSep + "2.dcm", "slice two");
  // Files of the current folder must not turn up in the check.
  const std::string destination = longFolder(dir, "dest", 300) + kSep + "package";

  CheckRequest check;
  check.entries = {{source + kSep + "a.nuv", source + kSep + "t.jpg", source + kSep + "d.png", {}}};
  check.destination = destination;
  check.programFolder = VESK_PROGRAM_DIR;
  check.windowsNames = false;
  const PackagePlan plan = planPackage(check);
  EXPECT_FALSE(hasCheckErrors(plan.problems)) << checkReportText(plan.problems);
  std::vector<std::string> folderFiles;
  for (const PlannedItem& item : plan.items) {
    if (item.step == PlannedItem::Step::CopyFile && item.role == PlannedRole::DataFolder) {
      folderFiles.push_back(item.source);
    }
  }
  EXPECT_EQ(folderFiles, (std::vector<std::string>{data + kSep + "1.dcm", data + kSep + "2.dcm"}));

  test::RecordingSink sink;
  CreateRequest create{check.entries, destination, VESK_PROGRAM_DIR};
  const BuildReport report = createPackage(create, sink);
  EXPECT_EQ(report.status, BuildStatus::Written) << ::testing::PrintToString(sink.messages);
  const std::string document = destination + kSep + "exhibition.nuv";
  EXPECT_TRUE(verifyPackage(document).empty());
  EXPECT_EQ(readFile(destination + kSep + "00" + kSep + "ct" + kSep + "2.dcm").value_or(""),
            "slice two");

  // Gone through base before the test's folder is removed with std::filesystem.
  EXPECT_TRUE(removeTree(dir.path() + kSep + "src"));
  EXPECT_TRUE(removeTree(dir.path() + kSep + "dest"));
}

}  // namespace
}  // namespace vesk
