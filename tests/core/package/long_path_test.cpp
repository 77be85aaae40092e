// A package whose destination and whose data folder lie past the classic 260-character
// limit of Windows: the check lists that folder (never the current one), the create
// and its verify succeed, and a replace, also one killed midway and recovered, ends
// with one whole package and no working folder. On POSIX the same paths are ordinary
// ones.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/folder_walk.h"
#include "base/path_terms.h"
#include "package/build_command.h"
#include "package/package_layout.h"
#include "package/package_members.h"
#include "package/package_plan.h"
#include "package/package_replace.h"
#include "package/package_swap.h"
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

// Entries made at short paths; only the destination is long.
class LongReplace : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const std::string name : {"a", "b", "c"}) {
      const std::string folder = "src/" + name + "/";
      dir.write(folder + name + ".nuv",
                "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n<drawGroup name=\"" + name +
                    "Sur\" ></drawGroup>\r\n");
      dir.write(folder + "v.raw", "volume " + name);
      dir.copyFrom(kPictures + "landscape-320x240.jpg", folder + "t.jpg");
      dir.copyFrom(kPictures + "portrait-480x640.png", folder + "d.png");
    }
    destination = longFolder(dir, "dest", 300) + kSep + "package";
    ASSERT_GE(destination.size(), 300u);
  }
  void TearDown() override { EXPECT_TRUE(removeTree(dir.path() + kSep + "dest")); }

  CreateRequest request(const std::vector<std::string>& names) const {
    CreateRequest create{{}, destination, VESK_PROGRAM_DIR};
    for (const auto& name : names) {
      const std::string folder = dir.file("src/" + name) + kSep;
      create.entries.push_back({folder + name + ".nuv", folder + "t.jpg", folder + "d.png", {}});
    }
    return create;
  }

  // The earlier package of a and b, with a file of the operator's beside it.
  void makeEarlier() {
    ASSERT_EQ(createPackage(request({"a", "b"}), sink).status, BuildStatus::Written)
        << ::testing::PrintToString(sink.messages);
    place(dir, at("notes.txt"), "the operator's own");
    sink.messages.clear();
  }

  std::string at(const std::string& name) const { return destination + kSep + name; }

  // The destination holds one whole package of `entries` entries, the operator's file
  // and no working folder.
  void expectWholePackage(int entries) {
    EXPECT_TRUE(verifyPackage(at(kDocumentName)).empty());
    EXPECT_EQ(entryTypeOf(at(entryFolderName(entries - 1))).value_or(EntryType::Other),
              EntryType::Folder);
    EXPECT_FALSE(entryTypeOf(at(entryFolderName(entries))));
    EXPECT_EQ(readFile(at("notes.txt")).value_or(""), "the operator's own");
    const Result<EntryType> working = entryTypeOf(at(kStagingFolderName));
    ASSERT_FALSE(working) << "the working folder is left";
    EXPECT_EQ(working.failure().code, FailureCode::NotFound);
  }

  test::TempDir dir;
  test::RecordingSink sink;
  std::string destination;
};

TEST_F(LongReplace, AReplaceIntoADestinationOfThreeHundredCharactersEndsWithTheNewPackage) {
  makeEarlier();
  const BuildReport report = replacePackage(request({"c", "b", "a"}), sink);
  EXPECT_EQ(report.status, BuildStatus::Written) << ::testing::PrintToString(sink.messages);
  expectWholePackage(3);
  EXPECT_EQ(packageMembers(destination),
            (std::vector<std::string>{"00", "01", "02", "down.jpg", "exhibition.nuv",
                                      "exhibition.sha256", "exhibition.vesk-copies", "up.jpg"}));
}

TEST_F(LongReplace, AReplaceKilledMidSwapIsRecoveredAndTheNextReplaceCompletes) {
  // Midway moving the earlier package aside and before the first new member moves in
  // (both put back), and once the new document is in (complete: the new one stays, and
  // the earlier one is removed with the working folder).
  struct Case {
    std::string step;
    Recovery recovery;
    int entries;  // of the package the recovery leaves
  };
  const Case cases[] = {
      {"move aside 01", Recovery::RolledBack, 2},
      {"move in 00", Recovery::RolledBack, 2},
      {"flush", Recovery::Completed, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("killed before " + c.step);
    makeEarlier();
    bool reached = false;
    const BuildReport killed =
        replacePackage(request({"c", "b", "a"}), sink, nullptr, [&](int, const std::string& what) {
          reached = reached || what == c.step;
          return what != c.step;
        });
    ASSERT_TRUE(reached);
    EXPECT_EQ(killed.status, BuildStatus::Stopped);
    EXPECT_EQ(pendingRecovery(destination), c.recovery);

    EXPECT_EQ(recoverInterruptedWork(destination, {}), c.recovery);
    expectWholePackage(c.entries);

    EXPECT_EQ(replacePackage(request({"c", "b", "a"}), sink).status, BuildStatus::Written)
        << ::testing::PrintToString(sink.messages);
    expectWholePackage(3);
    ASSERT_TRUE(removeTree(destination));
  }
}

}  // namespace
}  // namespace vesk
