#include "package/package_replace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/file_operations.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/package_layout.h"
#include "package/package_reimport.h"
#include "package/package_verify.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

// Every file under `root` with its content, folders as "<dir>", by relative path.
std::map<std::string, std::string> snapshot(const std::string& root) {
  std::map<std::string, std::string> tree;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    const std::string relative = fs::relative(item.path(), root).generic_string();
    if (item.is_directory()) {
      tree[relative] = "<dir>";
    } else if (relative == kCopyRecordName) {
      // Holds times and file numbers: which package it belongs to, the manifest says.
      tree[relative] = "<record>";
    } else {
      std::ifstream in(item.path(), std::ios::binary);
      tree[relative] = std::string(std::istreambuf_iterator<char>(in), {});
    }
  }
  return tree;
}

class PackageReplace : public ::testing::Test {
 public:
  void SetUp() override {
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "program/up.jpg");
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/down.jpg", "program/down.jpg");
    for (const std::string name : {"a", "b", "c"}) {
      const std::string folder = "src/" + name + "/";
      dir.write(folder + name + ".nuv",
                "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n<drawGroup name=\"" + name +
                    "Sur\" ></drawGroup>\r\n");
      dir.write(folder + "v.raw", "volume " + name);
      dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/landscape-320x240.jpg",
                   folder + "t.jpg");
      dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png",
                   folder + "d.png");
    }
  }

  std::vector<ExhibitionEntry> entries(const std::vector<std::string>& names) const {
    std::vector<ExhibitionEntry> list;
    for (const auto& name : names) {
      const std::string folder = "src/" + name + "/";
      list.push_back({dir.file(folder + name + ".nuv"),
                      dir.file(folder + "t.jpg"),
                      dir.file(folder + "d.png"),
                      {}});
    }
    return list;
  }

  CreateRequest request(const std::vector<std::string>& names, const std::string& dest) const {
    return {entries(names), dir.file(dest), dir.file("program")};
  }

  // An earlier package of a and b in D, with a file of the operator's beside it, and
  // the new package of c, b and a made apart in N for comparison.
  void makeEarlierAndExpected() {
    fs::create_directories(dir.file("D"));
    ASSERT_EQ(createPackage(request({"a", "b"}, "D"), sink).status, BuildStatus::Written);
    dir.write("D/notes.txt", "the operator's own");
    dir.write("D/07/keep.txt", "an old folder the new package does not have");
    earlier = snapshot(dir.file("D"));
    fs::create_directories(dir.file("N"));
    ASSERT_EQ(createPackage(request({"c", "b", "a"}, "N"), sink).status, BuildStatus::Written);
    dir.write("N/notes.txt", "the operator's own");
    replaced = snapshot(dir.file("N"));
    sink.messages.clear();
    sink.kinds.clear();
  }

  vesk::test::TempDir dir;
  vesk::test::RecordingSink sink;
  std::map<std::string, std::string> earlier, replaced;
};

TEST_F(PackageReplace, ReplacesTheEarlierPackageAndKeepsOtherFiles) {
  makeEarlierAndExpected();
  const BuildReport report = replacePackage(request({"c", "b", "a"}, "D"), sink);
  EXPECT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(test::withoutSummary(sink.messages), std::vector<std::string>{kCreatedMessage});
  EXPECT_EQ(snapshot(dir.file("D")), replaced) << "07 of the earlier package is gone too";
}

TEST_F(PackageReplace, AKillAtEachStepOfTheSwapLeavesOneWholePackageAfterRecovery) {
  int steps = 0;
  {
    makeEarlierAndExpected();
    replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr, [&](int) {
      ++steps;
      return true;
    });
  }
  ASSERT_GT(steps, 8);
  for (int kill = 0; kill < steps; ++kill) {
    SCOPED_TRACE("killed before step " + std::to_string(kill));
    dir.clear();
    SetUp();
    makeEarlierAndExpected();
    const BuildReport report = replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr,
                                              [&](int step) { return step != kill; });
    EXPECT_EQ(report.status, BuildStatus::Stopped);
    EXPECT_TRUE(sink.messages.empty()) << "a killed run says nothing";
    const Recovery recovery = recoverInterruptedReplace(dir.file("D"));
    const auto after = snapshot(dir.file("D"));
    EXPECT_TRUE(after == earlier || after == replaced);
    if (kill == 0) {
      EXPECT_EQ(after, earlier);
    }
    if (kill == steps - 1) {
      EXPECT_EQ(after, replaced);
    }
    EXPECT_EQ(recovery == Recovery::RolledBack, after == earlier && kill > 0);
    EXPECT_EQ(recoverInterruptedReplace(dir.file("D")), Recovery::NothingFound);
  }
}

// A snapshot where the report page stands for the number of entries it shows (its
// time and folder name differ between two packages made apart).
std::map<std::string, std::string> withReportCounts(std::map<std::string, std::string> tree) {
  const auto report = tree.find(kReportFileName);
  if (report != tree.end()) {
    const std::string& page = report->second;
    const std::size_t at = page.find("<tr><th>項目数</th><td>");
    report->second = at == std::string::npos ? "no count" : page.substr(at, 40);
  }
  return tree;
}

TEST_F(PackageReplace, AKillAtEachStepKeepsTheReportWithItsOwnPackage) {
  const auto makeBoth = [&] {
    fs::create_directories(dir.file("D"));
    CreateRequest first = request({"a", "b"}, "D");
    first.writeReport = true;
    ASSERT_EQ(createPackage(first, sink).status, BuildStatus::Written);
    earlier = withReportCounts(snapshot(dir.file("D")));
    fs::create_directories(dir.file("N"));
    CreateRequest second = request({"c", "b", "a"}, "N");
    second.writeReport = true;
    ASSERT_EQ(createPackage(second, sink).status, BuildStatus::Written);
    replaced = withReportCounts(snapshot(dir.file("N")));
  };
  ASSERT_NO_FATAL_FAILURE(makeBoth());
  ASSERT_NE(earlier.at(kReportFileName), replaced.at(kReportFileName));
  int steps = 0;
  CreateRequest counted = request({"c", "b", "a"}, "D");
  counted.writeReport = true;
  replacePackage(counted, sink, nullptr, [&](int) { return ++steps > 0; });
  ASSERT_GT(steps, 10);
  for (int kill = 0; kill < steps; ++kill) {
    SCOPED_TRACE("killed before step " + std::to_string(kill));
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth());
    CreateRequest again = request({"c", "b", "a"}, "D");
    again.writeReport = true;
    replacePackage(again, sink, nullptr, [&](int step) { return step != kill; });
    recoverInterruptedReplace(dir.file("D"));
    const auto after = withReportCounts(snapshot(dir.file("D")));
    EXPECT_TRUE(after == earlier || after == replaced);
  }
}

TEST_F(PackageReplace, LeftoversOfAKilledBuildAreRemovedByTheNextRun) {
  makeEarlierAndExpected();
  dir.write("D/.vesk-staging/00/half.raw", "half copied");
  EXPECT_EQ(recoverInterruptedReplace(dir.file("D")), Recovery::Discarded);
  EXPECT_EQ(snapshot(dir.file("D")), earlier);

  dir.write("D/.vesk-staging/00/half.raw", "half copied");
  EXPECT_EQ(replacePackage(request({"c", "b", "a"}, "D"), sink).status, BuildStatus::Written);
  EXPECT_EQ(snapshot(dir.file("D")), replaced);
}

TEST_F(PackageReplace, ANewPackageThatCannotBeBuiltLeavesTheEarlierOneWhole) {
  makeEarlierAndExpected();
  fs::remove(dir.file("src/b/v.raw"));
  EXPECT_EQ(replacePackage(request({"c", "b", "a"}, "D"), sink).status, BuildStatus::Stopped);
  EXPECT_EQ(sink.messages.back(), kEarlierPackageKeptMessage);
  EXPECT_EQ(snapshot(dir.file("D")), earlier);
}

TEST_F(PackageReplace, TheEarlierPackageIsKeptAsideUntilTheNewOneIsOnDisk) {
  makeEarlierAndExpected();
  std::vector<std::string> flushed;
  FileOperations operations = systemFileOperations();
  operations.flush = [&](const std::string& folder, int& error) {
    flushed.push_back(folder);
    error = EIO;
    return flushed.size() == 1;  // the staged copies, then the swap
  };
  CreateRequest replace = request({"c", "b", "a"}, "D");
  replace.operations = &operations;
  EXPECT_EQ(replacePackage(replace, sink).status, BuildStatus::Stopped);
  ASSERT_EQ(flushed.size(), 2u);
  EXPECT_EQ(flushed.back(), dir.file("D"));
  EXPECT_EQ(sink.kinds.back(), MessageKind::Error);
  EXPECT_TRUE(fs::exists(dir.file("D/.vesk-previous/00")));

  EXPECT_EQ(recoverInterruptedReplace(dir.file("D")), Recovery::Completed);
  EXPECT_EQ(snapshot(dir.file("D")), replaced);
}

TEST_F(PackageReplace, EntriesReadBackFromThePackageReplaceItInPlace) {
  makeEarlierAndExpected();
  EntryList list;
  reimportPackage(dir.file("D/exhibition.nuv"), list, sink);
  ASSERT_EQ(list.size(), 2u);
  std::vector<ExhibitionEntry> reordered(list.entries().rbegin(), list.entries().rend());
  ASSERT_EQ(replacePackage({reordered, dir.file("D"), dir.file("program")}, sink).status,
            BuildStatus::Written);
  EXPECT_TRUE(verifyPackage(dir.file("D/exhibition.nuv")).empty());
  EXPECT_EQ(dir.read("D/00/v.raw"), "volume b");
  EXPECT_EQ(dir.read("D/01/v.raw"), "volume a");
  EXPECT_TRUE(fs::exists(dir.file("D/00/b.nuv")));
  EXPECT_EQ(dir.read("D/notes.txt"), "the operator's own");
  EXPECT_FALSE(fs::exists(dir.file("D/07")));
}

}  // namespace
}  // namespace vesk
