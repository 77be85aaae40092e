// The package builder executes a plan: each case plans sound inputs, may spoil them
// afterwards (as the operator might between the check and the create), and builds.
#include "package/package_builder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/path_terms.h"
#include "messages/messages.h"
#include "package/failure_reason.h"
#include "package/package_plan.h"
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

  // An entry whose files lie in src/<name>/, its scene naming the given data values
  // (written with "/", in the scene with the format's "\\").
  ExhibitionEntry entry(const std::string& name, const std::vector<std::string>& data = {}) {
    const std::string folder = "src/" + name + "/";
    std::string scene;
    for (std::size_t k = 0; k < data.size(); ++k) {
      std::string value = data[k];
      std::replace(value.begin(), value.end(), '/', '\\');
      scene +=
          "<data name=\"d" + std::to_string(k) + "\"><file path=\"" + value + "\" /></data>\r\n";
    }
    dir.write(folder + name + ".nuv", scene + "<drawGroup name=\"Sur\" ></drawGroup>\r\n");
    dir.write(folder + name + "_t.jpg", "thumb " + name);
    dir.write(folder + name + "_d.jpg", "desc " + name);
    return {dir.file(folder + name + ".nuv"),
            dir.file(folder + name + "_t.jpg"),
            dir.file(folder + name + "_d.jpg"),
            {}};
  }

  PackagePlan plan(const std::vector<ExhibitionEntry>& entries) {
    CheckRequest request;
    request.entries = entries;
    request.destination = dir.file("D");
    request.programFolder = dir.file("program");
    request.windowsNames = false;
    request.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(1ull << 40); };
    return planPackage(request);
  }

  // The errors of the plan, each as "fault-number path".
  std::vector<std::string> errors(const std::vector<ExhibitionEntry>& entries) {
    std::vector<std::string> found;
    for (const auto& problem : plan(entries).problems) {
      if (problem.severity == CheckSeverity::Error) {
        found.push_back(std::to_string(static_cast<int>(problem.fault)) + " " + problem.path);
      }
    }
    return found;
  }

  // Plans the entries (without an error), runs `spoil`, then builds the plan into D.
  PackageOutcome build(const std::vector<ExhibitionEntry>& entries,
                       BuildProgress* progress = nullptr, const std::function<void()>& spoil = {}) {
    const PackagePlan planned = plan(entries);
    EXPECT_FALSE(hasCheckErrors(planned.problems)) << checkReportText(planned.problems);
    if (spoil) spoil();
    return buildPackageFolders(planned, dir.file("D") + kPathSeparator, sink, progress);
  }

  bool exists(const std::string& relative) { return fs::exists(dir.path() + "/" + relative); }

  vesk::test::TempDir dir;
  vesk::test::RecordingSink sink;
};

std::string fault(CheckFault fault) {
  return std::to_string(static_cast<int>(fault)) + " ";
}

TEST_F(PackageBuilder, ThreeEntriesGiveNumberedFoldersWithCopiesAndTheButtonImages) {
  const auto outcome = build({entry("a"), entry("b"), entry("c")});
  EXPECT_FALSE(outcome.stopped);
  EXPECT_TRUE(sink.messages.empty());
  const char* names[] = {"a", "b", "c"};
  for (int i = 0; i < 3; ++i) {
    const std::string folder = "D/0" + std::to_string(i) + "/";
    const std::string name = names[i];
    EXPECT_EQ(dir.read(folder + name + ".nuv"), dir.read("src/" + name + "/" + name + ".nuv"));
    EXPECT_EQ(dir.read(folder + name + "_t.jpg"), "thumb " + name);
    EXPECT_EQ(dir.read(folder + name + "_d.jpg"), "desc " + name);
  }
  EXPECT_EQ(dir.read("D/up.jpg"), "UP");
  EXPECT_EQ(dir.read("D/down.jpg"), "DOWN");
  EXPECT_EQ(outcome.filesCopied, 11u);
}

TEST_F(PackageBuilder, WhatCannotBeBuiltWholeIsAnErrorOfThePlan) {
  struct Case {
    std::string label;
    std::function<ExhibitionEntry()> make;
    std::vector<std::string> errors;
  };
  std::vector<Case> cases{
      {"thumbnail and description of one name",
       [&] {
         auto e = entry("a");
         dir.write("x/pic.jpg", "thumbnail");
         dir.write("y/pic.jpg", "description");
         e.thumbnailPath = dir.file("x/pic.jpg");
         e.descriptionPath = dir.file("y/pic.jpg");
         return e;
       },
       {fault(CheckFault::Collision) + dir.file("y/pic.jpg")}},
      {"a data value from outside named like the scene",
       [&] {
         dir.write("src/other/a.nuv", "other");
         return entry("a", {"../other/a.nuv"});
       },
       {fault(CheckFault::Collision) + dir.file("src/a/../other/a.nuv")}},
      {"a data file and a data folder of one name",
       [&] {
         dir.write("src/other/mesh", "file");
         dir.write("src/a/mesh/1.dcm", "1");
         return entry("a", {"../other/mesh", "mesh/"});
       },
       {fault(CheckFault::Collision) + dir.file("src/a/mesh/")}},
      {"a missing data folder",
       [&] { return entry("a", {"ct"}); },
       {fault(CheckFault::SourceMissing) + dir.file("src/a/ct")}},
      {"a folder whose name has a dot counts as a data file",
       [&] {
         dir.write("src/a/set.2/x.dcm", "x");
         return entry("a", {"set.2"});
       },
       {fault(CheckFault::SourceNotRegular) + dir.file("src/a/set.2")}},
  };
#ifndef _WIN32
  // Windows allows no such name on disk.
  cases.push_back({"a picture name the document cannot quote",
                   [&] {
                     auto e = entry("a");
                     dir.write("x/q\" x=\"y.jpg", "thumbnail");
                     e.thumbnailPath = dir.file("x/q\" x=\"y.jpg");
                     return e;
                   },
                   {fault(CheckFault::UnwritableName) + dir.file("x/q\" x=\"y.jpg")}});
  cases.push_back({"a link loop as data folder",
                   [&] {
                     auto e = entry("a", {"loop"});
                     fs::create_symlink("loop", dir.file("src/a/loop"));
                     return e;
                   },
                   {fault(CheckFault::SourceUnreadable) + dir.file("src/a/loop")}});
#endif
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    EXPECT_EQ(errors({c.make()}), c.errors) << c.label;
  }
}

TEST_F(PackageBuilder, OneDataFolderNamedTwiceBySpellingsIsMadeOnce) {
  dir.write("src/a/ct/a.dcm", "A");
  dir.write("src/a/vol.raw", "V");
  const auto outcome = build({entry("a", {"ct/", "ct", "./ct", "vol.raw", "./vol.raw"})});
  ASSERT_FALSE(outcome.stopped) << sink.messages.front();
  EXPECT_EQ(dir.read("D/00/ct/a.dcm"), "A");
  EXPECT_EQ(dir.read("D/00/vol.raw"), "V");
  EXPECT_EQ(outcome.filesCopied, 7u);
}

TEST_F(PackageBuilder, ASourceChangedSincePlannedStopsTheRunNamingIt) {
  const auto e = entry("a");
  const auto outcome =
      build({e, entry("b")}, nullptr, [&] { dir.write("src/a/a_t.jpg", "a longer thumbnail"); });
  EXPECT_TRUE(outcome.stopped);
  EXPECT_EQ(sink.messages, std::vector<std::string>{kSourceChangedMessage + e.thumbnailPath});
  EXPECT_TRUE(exists("D/00/a.nuv"));
  EXPECT_FALSE(exists("D/00/a_t.jpg"));
  EXPECT_FALSE(exists("D/01"));
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
    dir.write("src/a/ct/2.dcm", "2");
    const std::string fifo = role == "scene"  ? e.scenePath
                             : role == "data" ? dir.file("src/a/vol.raw")
                                              : dir.file("src/a/ct/2.dcm");
    // Planned as a file, a pipe by the time it is copied.
    const auto outcome = build({e}, nullptr, [&] {
      fs::remove(fifo);
      ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    });
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
}

TEST_F(PackageBuilder, TheBareSceneFolderIsADataFolderNamedAfterIt) {
  build({entry("s", {""})});
  EXPECT_EQ(dir.read("D/00/s/s.nuv"), dir.read("src/s/s.nuv"));
  EXPECT_EQ(dir.read("D/00/s/s_t.jpg"), "thumb s");
}

// Failures that stop the run: the message, and what exists afterwards.
TEST_F(PackageBuilder, AFailureStopsTheRunWithItsMessage) {
  struct Case {
    std::string label;
    std::vector<std::string> entries;  // names of the entries, "a" with a data folder
    std::function<void()> spoil;
    std::string message;
    std::vector<std::string> present, absent;
  };
  const std::vector<Case> cases{
      {"existing entry folder",
       {"a"},
       [&] { fs::create_directories(dir.path() + "/D/00"); },
       nativePath("00/") + "フォルダ作成に失敗しました\n既に存在します",
       {},
       {"D/00/a.nuv", "D/up.jpg"}},
      {"missing scene",
       {"a"},
       [&] { fs::remove(dir.file("src/a/a.nuv")); },
       "nuvファイルのコピーに失敗しました\n見つかりません",
       {"D/00"},
       {"D/00/a_t.jpg", "D/up.jpg"}},
      {"missing thumbnail",
       {"a"},
       [&] { fs::remove(dir.file("src/a/a_t.jpg")); },
       "サムネイルのコピーに失敗しました\n見つかりません",
       {"D/00/a.nuv"},
       {"D/00/a_d.jpg"}},
      {"missing description",
       {"a", "b"},
       [&] { fs::remove(dir.file("src/a/a_d.jpg")); },
       "説明文のコピーに失敗しました\n見つかりません",
       {"D/00/a_t.jpg"},
       {"D/01", "D/up.jpg"}},
      {"missing data file",
       {"a"},
       [&] { fs::remove(dir.file("src/a/vol.raw")); },
       "vol.raw作成に失敗しました\n見つかりません",
       {"D/00/ct/1.dcm"},
       {"D/up.jpg"}},
      {"missing up.jpg",
       {"a", "b"},
       [&] { fs::remove(dir.path() + "/program/up.jpg"); },
       "up.jpgのコピーに失敗しました\n見つかりません",
       {"D/00/a.nuv", "D/01/b_d.jpg"},
       {"D/up.jpg", "D/down.jpg"}},
      {"missing down.jpg",
       {"a"},
       [&] { fs::remove(dir.path() + "/program/down.jpg"); },
       "down.jpgのコピーに失敗しました\n見つかりません",
       {"D/up.jpg"},
       {"D/down.jpg"}},
  };
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    sink.messages.clear();
    std::vector<ExhibitionEntry> entries;
    for (const auto& name : c.entries) {
      entries.push_back(name == "a" ? entry("a", {"ct/", "vol.raw"}) : entry(name));
    }
    dir.write("src/a/ct/1.dcm", "1");
    dir.write("src/a/vol.raw", "V");
    const auto outcome = build(entries, nullptr, c.spoil);
    EXPECT_TRUE(outcome.stopped) << c.label;
    EXPECT_EQ(sink.messages, std::vector<std::string>{c.message}) << c.label;
    for (const auto& path : c.present) EXPECT_TRUE(exists(path)) << c.label << ": " << path;
    for (const auto& path : c.absent) EXPECT_FALSE(exists(path)) << c.label << ": " << path;
  }
}

TEST_F(PackageBuilder, AnUnreadableFileInADataFolderStopsTheRunNamingTheFile) {
  dir.write("src/a/ct/a.dcm", "A");
  dir.write("src/a/ct/b.dcm", "");
  dir.write("src/a/ct/c.dcm", "C");
  dir.write("src/a/vol.raw", "V");
  std::unique_ptr<test::UnreadableFile> unreadable;
  const auto outcome = build({entry("a", {"ct/", "vol.raw"}), entry("b")}, nullptr, [&] {
    fs::remove(dir.file("src/a/ct/b.dcm"));
    unreadable = std::make_unique<test::UnreadableFile>(toFsPath(dir.file("src/a/ct/b.dcm")));
  });
  EXPECT_TRUE(outcome.stopped);
#ifdef _WIN32
  // Made again (a later time) and held open.
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{kSourceChangedMessage + dir.file("src/a/ct/b.dcm")});
#else
  EXPECT_EQ(sink.messages, std::vector<std::string>{"フォルダ内のデータコピーに失敗しました\n" +
                                                    dir.file("src/a/ct/b.dcm") + ": " +
                                                    test::UnreadableFile::copyReason()});
#endif
  EXPECT_TRUE(exists("D/00/ct/a.dcm"));
  EXPECT_FALSE(exists("D/00/ct/c.dcm"));
  EXPECT_FALSE(exists("D/00/vol.raw"));
  EXPECT_FALSE(exists("D/01"));
}

TEST_F(PackageBuilder, ADestinationThatIsAFileFailsAtTheFirstEntryFolder) {
  dir.write("file", "x");
  const PackagePlan planned = plan({entry("a")});
  const auto outcome =
      buildPackageFolders(planned, dir.file("file") + kPathSeparator, sink, nullptr);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_FALSE(outcome.cancelled);
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{nativePath("00/") + "フォルダ作成に失敗しました\n" +
                                     systemReason(test::kParentIsAFileError)});
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
  const std::uint64_t bytes = fs::file_size(dir.file("src/a/a.nuv")) + 7 + 6 + 3000 + 5000 + 2 + 4;
  EXPECT_EQ(progress.totalBytes, bytes);
  EXPECT_EQ(progress.bytesDone, bytes);
  EXPECT_EQ(outcome.bytesCopied, bytes);
}

// The builder says nothing of a cancel: its caller, which undoes the run, does.
TEST_F(PackageBuilder, ACancelStopsBetweenTwoFiles) {
  CountingProgress progress;
  progress.cancelAfter = 2;
  const auto outcome = build({entry("a"), entry("b")}, &progress);
  EXPECT_TRUE(outcome.stopped);
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_TRUE(exists("D/00/a_t.jpg"));
  EXPECT_FALSE(exists("D/00/a_d.jpg"));
  EXPECT_FALSE(exists("D/01"));
  EXPECT_EQ(progress.sources.size(), 2u);
}

// A cancel during one large file answers after the piece being copied: the copy asks
// after every piece, and nothing of the file stays behind. The slow reader stands for a
// multi-GiB file on a slow disk (500 pieces it only counts); the real copy copies 13 MiB.
TEST_F(PackageBuilder, ACancelDuringALargeFileAnswersWithinOnePieceAndLeavesNoPartialCopy) {
  struct Case {
    const char* label;
    std::string data;    // the scene's data value
    std::string target;  // the large file's copy, below D
    bool realCopy;
  };
  const Case cases[] = {
      {"a data file, slow reader", "big.raw", "D/00/big.raw", false},
      {"a file of a data folder, slow reader", "ct/", "D/00/ct/big.raw", false},
      {"a data file, real copy", "big.raw", "D/00/big.raw", true},
  };
  constexpr int kPiecesBeforeCancel = 3;
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    sink.messages.clear();
    const std::string big = c.data == "ct/" ? "src/a/ct/big.raw" : "src/a/big.raw";
    dir.write(big, std::string(c.realCopy ? (std::size_t{13} << 20) : 10, 'b'));

    int pieces = 0;  // of the large file
    FileOperations operations = systemFileOperations();
    const auto real = operations.copy;
    operations.copy = [&](const std::string& from, const std::string& to,
                          const CopyProgress& progress, const CopyContent& content) -> Status {
      if (fileNameOf(from) != "big.raw") return real(from, to, progress, content);
      if (c.realCopy) {
        return real(
            from, to,
            [&](std::uint64_t bytes) {
              ++pieces;
              return progress(bytes);
            },
            content);
      }
      for (int piece = 0; piece < 500; ++piece) {
        ++pieces;
        if (!progress(kCopyPieceBytes)) return makeFailure(FailureCode::Cancelled, to);
      }
      return {};
    };
    // Cancels once the large file's third piece has been reported.
    class CancelInLargeFile : public BuildProgress {
     public:
      explicit CancelInLargeFile(const int& pieces) : pieces_(pieces) {}
      bool cancelRequested() override { return pieces_ >= kPiecesBeforeCancel; }

     private:
      const int& pieces_;
    } progress(pieces);

    const PackagePlan planned = plan({entry("a", {c.data})});
    ASSERT_FALSE(hasCheckErrors(planned.problems)) << checkReportText(planned.problems);
    const auto outcome =
        buildPackageFolders(planned, dir.file("D") + kPathSeparator, sink, &progress, &operations);
    EXPECT_TRUE(outcome.stopped) << c.label;
    EXPECT_TRUE(outcome.cancelled) << c.label;
    EXPECT_EQ(pieces, kPiecesBeforeCancel) << c.label;
    EXPECT_TRUE(sink.messages.empty()) << c.label;
    EXPECT_FALSE(exists(c.target)) << c.label;
    EXPECT_FALSE(exists("D/up.jpg")) << c.label;
  }
}

// The check notices a cancel between two files of a data folder, not only between two
// entries: a folder of many files does not hold it up.
TEST_F(PackageBuilder, ThePlanNoticesACancelBetweenTwoFilesOfADataFolder) {
  for (int i = 0; i < 200; ++i) dir.write("src/a/ct/" + std::to_string(1000 + i) + ".dcm", "x");
  struct Case {
    const char* label;
    int cancelAtAsk;  // the question the observer first answers yes
  };
  const Case cases[] = {{"before the first entry", 1}, {"within the folder", 40}};
  const ExhibitionEntry a = entry("a", {"ct/"});
  for (const Case& c : cases) {
    class CancelAt : public PlanObserver {
     public:
      explicit CancelAt(int at) : at_(at) {}
      bool cancelRequested() override { return ++asked >= at_; }
      int asked = 0;

     private:
      int at_;
    } observer(c.cancelAtAsk);
    CheckRequest request;
    request.entries = {a};
    request.destination = dir.file("D");
    request.programFolder = dir.file("program");
    const PackagePlan planned = planPackage(request, &observer);
    EXPECT_TRUE(planned.cancelled) << c.label;
    EXPECT_EQ(observer.asked, c.cancelAtAsk) << c.label;
    EXPECT_LT(planned.filesToCopy, 200u) << c.label;
    EXPECT_TRUE(planned.documentEntries.empty()) << c.label;
    ASSERT_FALSE(planned.problems.empty()) << c.label;
    EXPECT_EQ(planned.problems.front().fault, CheckFault::Cancelled) << c.label;
  }
}

}  // namespace
}  // namespace vesk
