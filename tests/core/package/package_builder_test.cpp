#include "package/package_builder.h"
#include "messages/messages.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/path_terms.h"
#include "package/build_command.h"
#include "support/recording_sink.h"
#include "support/system_errors.h"
#include "support/temp_dir.h"
#include "support/unreadable_file.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using test::nativePath;

class PackageBuilder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("program/up.jpg", "UP");
    dir.write("program/down.jpg", "DOWN");
    fs::create_directories(dir.path() + "/D");
  }

  // An entry whose files lie in src/<name>/, with the given data items (relative to
  // that folder, as the scan lists them).
  ExhibitionEntry entry(const std::string& name, const std::vector<std::string>& data = {}) {
    const std::string folder = "src/" + name + "/";
    dir.write(folder + name + ".nuv", "scene " + name);
    dir.write(folder + name + "_t.jpg", "thumb " + name);
    dir.write(folder + name + "_d.jpg", "desc " + name);
    ExhibitionEntry e{dir.file(folder + name + ".nuv"),
                      dir.file(folder + name + "_t.jpg"),
                      dir.file(folder + name + "_d.jpg"),
                      {}};
    for (const auto& item : data) e.dataFiles.push_back(dir.file(folder + item));
    return e;
  }

  PackageOutcome build(const std::vector<ExhibitionEntry>& entries,
                       BuildProgress* progress = nullptr) {
    return buildPackageFolders(entries, packaged, dir.file("D") + kPathSeparator,
                               dir.file("program"), sink, progress);
  }

  bool exists(const std::string& relative) { return fs::exists(dir.path() + "/" + relative); }

  vesk::test::TempDir dir;
  vesk::test::RecordingSink sink;
  std::vector<ExhibitionEntry> packaged;
};

TEST_F(PackageBuilder, ThreeEntriesGiveNumberedFoldersWithCopiesAndTheButtonImages) {
  const auto outcome = build({entry("a"), entry("b"), entry("c")});
  EXPECT_FALSE(outcome.stopped);
  EXPECT_TRUE(sink.messages.empty());
  const char* names[] = {"a", "b", "c"};
  for (int i = 0; i < 3; ++i) {
    const std::string folder = "D/0" + std::to_string(i) + "/";
    const std::string name = names[i];
    EXPECT_EQ(dir.read(folder + name + ".nuv"), "scene " + name);
    EXPECT_EQ(dir.read(folder + name + "_t.jpg"), "thumb " + name);
    EXPECT_EQ(dir.read(folder + name + "_d.jpg"), "desc " + name);
    EXPECT_EQ(packaged[i].scenePath, dir.file(folder + name + ".nuv"));
    EXPECT_EQ(packaged[i].thumbnailPath, dir.file(folder + name + "_t.jpg"));
    EXPECT_EQ(packaged[i].descriptionPath, dir.file(folder + name + "_d.jpg"));
  }
  EXPECT_EQ(dir.read("D/up.jpg"), "UP");
  EXPECT_EQ(dir.read("D/down.jpg"), "DOWN");
  EXPECT_EQ(outcome.filesCopied, 11u);
}

TEST_F(PackageBuilder, FilesLandingOnOneNameAreRefusedBeforeAnythingIsCopied) {
  struct Case {
    std::string label;
    std::function<ExhibitionEntry()> make;
    std::string collision;  // the message's line for the collision
  };
  const std::vector<Case> cases{
      {"thumbnail and description of one name",
       [&] {
         auto e = entry("a");
         dir.write("x/pic.jpg", "thumbnail");
         dir.write("y/pic.jpg", "description");
         e.thumbnailPath = dir.file("x/pic.jpg");
         e.descriptionPath = dir.file("y/pic.jpg");
         return e;
       },
       nativePath("00/pic.jpg: ") + dir.file("x/pic.jpg") + " / " + dir.file("y/pic.jpg")},
      {"a data value from outside named like the scene",
       [&] {
         dir.write("src/other/a.nuv", "other");
         return entry("a", {"../other/a.nuv"});
       },
       nativePath("00/a.nuv: ") + dir.file("src/a/a.nuv") + " / " +
           dir.file("src/a/../other/a.nuv")},
      {"a data file and a data folder of one name",
       [&] {
         dir.write("src/other/mesh", "file");
         dir.write("src/a/mesh/1.dcm", "1");
         return entry("a", {"../other/mesh", "mesh/"});
       },
       nativePath("00/mesh/: ") + dir.file("src/a/../other/mesh") + " / " +
           dir.file("src/a/mesh/")},
  };
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    sink.messages.clear();
    const auto outcome = build({c.make()});
    EXPECT_TRUE(outcome.stopped) << c.label;
    ASSERT_EQ(sink.messages.size(), 1u) << c.label;
    EXPECT_EQ(sink.messages[0], std::string(kCollidingNamesMessage) + "\n" + c.collision)
        << c.label;
    EXPECT_FALSE(exists("D/00")) << c.label;
  }
}

TEST_F(PackageBuilder, APictureNameTheDocumentCannotQuoteIsRefused) {
  auto e = entry("a");
  // Windows allows no such name on disk; the check looks at the planned names alone.
#ifndef _WIN32
  dir.write("x/q\" x=\"y.jpg", "thumbnail");
#endif
  e.thumbnailPath = dir.file("x/q\" x=\"y.jpg");
  const auto outcome = build({e});
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(sink.messages, std::vector<std::string>{std::string(kUnwritableNamesMessage) + "\n" +
                                                    e.thumbnailPath});
  EXPECT_FALSE(exists("D/00"));
}

TEST_F(PackageBuilder, MissingOrUnreadableDataFoldersStopTheRunInsteadOfBecomingEmpty) {
  struct Case {
    std::string label;
    std::function<std::string()> make;  // gives the data value
    std::string message;
  };
  std::vector<Case> cases{
      {"missing", [] { return std::string("ct"); },
       nativePath("ct/") + "作成に失敗しました\n見つかりません"},
  };
#ifndef _WIN32
  cases.push_back({"link loop",
                   [&] {
                     fs::create_directories(dir.file("src/a"));
                     fs::create_symlink("loop", dir.file("src/a/loop"));
                     return std::string("loop");
                   },
                   "loop/作成に失敗しました\nToo many levels of symbolic links"});
#endif
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    sink.messages.clear();
    const auto outcome = build({entry("a", {c.make()})});
    EXPECT_TRUE(outcome.stopped) << c.label;
    EXPECT_EQ(sink.messages, std::vector<std::string>{c.message}) << c.label;
    EXPECT_FALSE(exists("D/up.jpg")) << c.label;
  }
}

TEST_F(PackageBuilder, ADataValueWithoutExtensionNamingAFileIsCopiedAsTheFile) {
  dir.write("src/a/mesh", "mesh data");
  const auto outcome = build({entry("a", {"mesh"})});
  ASSERT_FALSE(outcome.stopped) << sink.messages.front();
  EXPECT_EQ(dir.read("D/00/mesh"), "mesh data");
}

// Pipes and links at the target are POSIX cases.
#ifndef _WIN32
TEST_F(PackageBuilder, APipeOrDeviceInAnyRoleIsRefusedWithoutBlocking) {
  for (const std::string role : {"scene", "data", "in data folder"}) {
    dir.clear();
    SetUp();
    sink.messages.clear();
    auto e = entry("a", {"vol.raw", "ct/"});
    dir.write("src/a/ct/1.dcm", "1");
    dir.write("src/a/vol.raw", "v");
    const std::string fifo = role == "scene"  ? e.scenePath
                             : role == "data" ? dir.file("src/a/vol.raw")
                                              : dir.file("src/a/ct/2.dcm");
    fs::remove(fifo);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto outcome = build({e});
    EXPECT_TRUE(outcome.stopped) << role;
    ASSERT_EQ(sink.messages.size(), 1u) << role;
    EXPECT_NE(sink.messages[0].find(kReasonNotRegularFile), std::string::npos)
        << role << ": " << sink.messages[0];
  }
}

TEST_F(PackageBuilder, ALinkAtTheTargetIsReplacedNotWrittenThrough) {
  dir.write("outside.jpg", "outside");
  fs::create_directories(dir.file("D"));
  fs::create_symlink(dir.file("outside.jpg"), dir.file("D/up.jpg"));
  const auto outcome = build({entry("a")});
  ASSERT_FALSE(outcome.stopped);
  EXPECT_EQ(dir.read("outside.jpg"), "outside");
  EXPECT_FALSE(fs::is_symlink(dir.file("D/up.jpg")));
  EXPECT_EQ(dir.read("D/up.jpg"), dir.read("program/up.jpg"));
}
#endif

TEST_F(PackageBuilder, DataFilesKeepTheirSubFolderAndNeverLeaveTheEntryFolder) {
  dir.write("src/a/vol.raw", "volume");
  dir.write("src/a/m/n/mesh.obj", "mesh");
  dir.write("src/a/m/other.obj", "other");
  dir.write("src/outside.raw", "outside");
  const auto outcome =
      build({entry("a", {"vol.raw", "m/n/mesh.obj", "m/other.obj", "../outside.raw"})});
  ASSERT_FALSE(outcome.stopped) << sink.messages.front();
  EXPECT_EQ(dir.read("D/00/vol.raw"), "volume");
  EXPECT_EQ(dir.read("D/00/m/n/mesh.obj"), "mesh");
  EXPECT_EQ(dir.read("D/00/m/other.obj"), "other");
  EXPECT_EQ(dir.read("D/00/outside.raw"), "outside");
  EXPECT_FALSE(exists("D/outside.raw"));
  EXPECT_EQ(packaged[0].dataFiles,
            (std::vector<std::string>{dir.file("D/00/vol.raw"), dir.file("D/00/m/n/mesh.obj"),
                                      dir.file("D/00/m/other.obj"), dir.file("D/00/outside.raw")}));
}

TEST_F(PackageBuilder, ADataFolderCopiesItsFirstLevelOnly) {
  dir.write("src/a/ct/a.dcm", "A");
  dir.write("src/a/ct/b.dcm", "B");
  dir.write("src/a/ct/x/deep.dcm", "X");
  dir.write("src/a/ct2/c.dcm", "C");
  const auto outcome = build({entry("a", {"ct/", "ct2"})});
  EXPECT_FALSE(outcome.stopped);
  EXPECT_EQ(dir.read("D/00/ct/a.dcm"), "A");
  EXPECT_EQ(dir.read("D/00/ct/b.dcm"), "B");
  EXPECT_FALSE(exists("D/00/ct/x"));
  EXPECT_EQ(dir.read("D/00/ct2/c.dcm"), "C");
  EXPECT_EQ(packaged[0].dataFiles[1], dir.file("D/00/ct2/"));
}

TEST_F(PackageBuilder, TheBareSceneFolderIsADataFolderNamedAfterIt) {
  build({entry("s", {""})});
  EXPECT_EQ(dir.read("D/00/s/s.nuv"), "scene s");
  EXPECT_EQ(dir.read("D/00/s/s_t.jpg"), "thumb s");
}

// Failures that stop the run: the message, and what exists afterwards.
TEST_F(PackageBuilder, AFailureStopsTheRunWithItsMessage) {
  struct Case {
    std::string label;
    std::function<std::vector<ExhibitionEntry>()> entries;
    std::string message;
    std::vector<std::string> present, absent;
  };
  const std::vector<Case> cases{
      {"existing entry folder",
       [&] {
         fs::create_directories(dir.path() + "/D/00");
         return std::vector{entry("a")};
       },
       nativePath("00/") + "フォルダ作成に失敗しました\n既に存在します",
       {},
       {"D/00/a.nuv", "D/up.jpg"}},
      {"missing scene",
       [&] {
         auto e = entry("a");
         e.scenePath += ".missing";
         return std::vector{e};
       },
       "nuvファイルのコピーに失敗しました\n見つかりません",
       {"D/00"},
       {"D/00/a_t.jpg", "D/up.jpg"}},
      {"missing thumbnail",
       [&] {
         auto e = entry("a");
         e.thumbnailPath += ".missing";
         return std::vector{e};
       },
       "サムネイルのコピーに失敗しました\n見つかりません",
       {"D/00/a.nuv"},
       {"D/00/a_d.jpg"}},
      {"missing description",
       [&] {
         auto e = entry("a");
         e.descriptionPath += ".missing";
         return std::vector{e, entry("b")};
       },
       "説明文のコピーに失敗しました\n見つかりません",
       {"D/00/a_t.jpg"},
       {"D/01", "D/up.jpg"}},
      {"data folder listed twice",
       [&] {
         dir.write("src/a/ct/a.dcm", "A");
         return std::vector{entry("a", {"ct/", "ct/"})};
       },
       nativePath("ct/") + "フォルダ作成に失敗しました\n既に存在します",
       {"D/00/ct/a.dcm"},
       {"D/up.jpg"}},
      {"a folder whose name has a dot counts as a data file",
       [&] {
         dir.write("src/a/set.2/x.dcm", "x");
         return std::vector{entry("a", {"set.2"})};
       },
       "set.2作成に失敗しました\nフォルダです",
       {"D/00/a.nuv"},
       {"D/up.jpg"}},
      {"missing up.jpg",
       [&] {
         fs::remove(dir.path() + "/program/up.jpg");
         return std::vector{entry("a"), entry("b")};
       },
       "up.jpgのコピーに失敗しました\n見つかりません",
       {"D/00/a.nuv", "D/01/b_d.jpg"},
       {"D/up.jpg", "D/down.jpg"}},
      {"missing down.jpg",
       [&] {
         fs::remove(dir.path() + "/program/down.jpg");
         return std::vector{entry("a")};
       },
       "down.jpgのコピーに失敗しました\n見つかりません",
       {"D/up.jpg"},
       {"D/down.jpg"}},
  };
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    sink.messages.clear();
    const auto outcome = build(c.entries());
    EXPECT_TRUE(outcome.stopped) << c.label;
    EXPECT_EQ(sink.messages, std::vector<std::string>{c.message}) << c.label;
    for (const auto& path : c.present) EXPECT_TRUE(exists(path)) << c.label << ": " << path;
    for (const auto& path : c.absent) EXPECT_FALSE(exists(path)) << c.label << ": " << path;
  }
}

TEST_F(PackageBuilder, AnUnreadableFileInADataFolderStopsTheRunNamingTheFile) {
  dir.write("src/a/ct/a.dcm", "A");
  dir.write("src/a/ct/c.dcm", "C");
  const test::UnreadableFile unreadable(toFsPath(dir.file("src/a/ct/b.dcm")));
  dir.write("src/a/vol.raw", "V");
  const auto outcome = build({entry("a", {"ct/", "vol.raw"}), entry("b")});
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(sink.messages, std::vector<std::string>{"フォルダ内のデータコピーに失敗しました\n" +
                                                    dir.file("src/a/ct/b.dcm") + ": " +
                                                    test::UnreadableFile::copyReason()});
  EXPECT_TRUE(exists("D/00/ct/a.dcm"));
  EXPECT_FALSE(exists("D/00/ct/c.dcm"));
  EXPECT_FALSE(exists("D/00/vol.raw"));
  EXPECT_FALSE(exists("D/01"));
}

TEST_F(PackageBuilder, ADestinationThatIsAFileFailsAtTheFirstEntryFolder) {
  dir.write("file", "x");
  const auto outcome = buildPackageFolders(
      {entry("a")}, packaged, dir.file("file") + kPathSeparator, dir.file("program"), sink);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{nativePath("00/") + "フォルダ作成に失敗しました\n" +
                                     systemErrorText(test::kParentIsAFileError)});
  EXPECT_EQ(packaged[0].scenePath, entry("a").scenePath);
}

// Counts what it is told and cancels once `cancelAfter` files are done.
class CountingProgress : public BuildProgress {
 public:
  void started(std::uint64_t bytes, std::uint64_t files) override {
    totalBytes = bytes;
    totalFiles = files;
  }
  void fileStarted(const std::string& source) override { sources.push_back(source); }
  void advanced(std::uint64_t bytes, std::uint64_t files) override {
    bytesDone = bytes;
    filesDone = files;
  }
  bool cancelRequested() override { return filesDone >= cancelAfter; }

  std::uint64_t totalBytes = 0, totalFiles = 0, bytesDone = 0, filesDone = 0;
  std::uint64_t cancelAfter = ~0ull;
  std::vector<std::string> sources;
};

TEST_F(PackageBuilder, ProgressAnnouncesTheTotalsAndReachesThem) {
  dir.write("src/a/ct/a.dcm", std::string(3000, 'a'));
  dir.write("src/a/vol.raw", std::string(5000, 'v'));
  CountingProgress progress;
  const auto outcome = build({entry("a", {"ct/", "vol.raw"})}, &progress);
  EXPECT_FALSE(outcome.stopped);
  EXPECT_EQ(progress.totalFiles, 7u);
  EXPECT_EQ(progress.filesDone, 7u);
  const std::uint64_t bytes = 7 + 7 + 6 + 3000 + 5000 + 2 + 4;
  EXPECT_EQ(progress.totalBytes, bytes);
  EXPECT_EQ(progress.bytesDone, bytes);
  EXPECT_EQ(outcome.bytesCopied, bytes);
}

TEST_F(PackageBuilder, ACancelStopsBetweenTwoFilesWithAMessage) {
  CountingProgress progress;
  progress.cancelAfter = 2;
  const auto outcome = build({entry("a"), entry("b")}, &progress);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(sink.messages, std::vector<std::string>{kCancelledMessage});
  EXPECT_TRUE(exists("D/00/a_t.jpg"));
  EXPECT_FALSE(exists("D/00/a_d.jpg"));
  EXPECT_FALSE(exists("D/01"));
  EXPECT_EQ(progress.sources.size(), 2u);
}

}  // namespace
}  // namespace vesk
