// The check before a create. Golden cases under tests/data/checks: each folder holds
// the inputs (input/, copied to a temporary folder that is also the destination's
// parent), the entry list (entries.txt: scene, thumbnail and description separated
// by tabs, relative to input/), optionally the free space to report (free-space.txt)
// and the length to pad the destination to (destination-length.txt), and the problems
// expected, typed by hand (expected-problems.txt: one a line,
// "severity fault entry role path", the path relative to the temporary folder).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "format/scene_scan.h"
#include "format/two_digits.h"
#include "image/image_probe.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/build_command.h"
#include "package/package_check.h"
#include "package/package_plan.h"
#include "support/golden_files.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::readBytes;
using test::split;

const fs::path kCases = fs::path(VESK_TEST_DATA_DIR) / "checks";
const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

const char* faultName(CheckFault fault) {
  switch (fault) {
    case CheckFault::SourceMissing:
      return "source-missing";
    case CheckFault::SourceUnreadable:
      return "source-unreadable";
    case CheckFault::SourceNotRegular:
      return "source-not-regular";
    case CheckFault::Collision:
      return "collision";
    case CheckFault::UnencodableCharacter:
      return "unencodable-character";
    case CheckFault::UnwritableName:
      return "unwritable-name";
    case CheckFault::TooManyElements:
      return "too-many-elements";
    case CheckFault::NotEnoughSpace:
      return "not-enough-space";
    case CheckFault::EarlierPackage:
      return "earlier-package";
    case CheckFault::Cancelled:
      return "cancelled";
    case CheckFault::DestinationUnusable:
      return "destination-unusable";
    case CheckFault::NameTooLong:
      return "name-too-long";
    case CheckFault::PathTooLong:
      return "path-too-long";
    case CheckFault::UnusableCharacter:
      return "unusable-character";
    case CheckFault::UnclosedData:
      return "unclosed-data";
    case CheckFault::DocumentMismatch:
      return "document-mismatch";
    case CheckFault::PictureSizeUnknown:
      return "picture-size-unknown";
    case CheckFault::ThumbnailNotLandscape:
      return "thumbnail-not-landscape";
    case CheckFault::DescriptionNotPortrait:
      return "description-not-portrait";
    case CheckFault::NoTopGroup:
      return "no-top-group";
    case CheckFault::TopGroupUnnumbered:
      return "top-group-unnumbered";
    case CheckFault::ReimportTakesOther:
      return "reimport-takes-other";
    case CheckFault::NameWindowsCannotHold:
      return "name-windows-cannot-hold";
    case CheckFault::DuplicateScene:
      return "duplicate-scene";
    case CheckFault::UndecodableBytesJoined:
      return "undecodable-bytes-joined";
    case CheckFault::InterruptedWork:
      return "interrupted-work";
    case CheckFault::DataElementWithoutPath:
      return "data-element-without-path";
    case CheckFault::StrayEntryFolder:
      return "stray-entry-folder";
  }
  return "?";
}

const char* roleName(CheckRole role) {
  switch (role) {
    case CheckRole::None:
      return "none";
    case CheckRole::Scene:
      return "scene";
    case CheckRole::Thumbnail:
      return "thumbnail";
    case CheckRole::Description:
      return "description";
    case CheckRole::DataFile:
      return "data-file";
    case CheckRole::DataFolder:
      return "data-folder";
  }
  return "?";
}

// A problem as the expected files write it; paths below `root` relative to it.
std::string describe(const CheckProblem& problem, const std::string& root) {
  std::string path = problem.path;
  if (path.rfind(root, 0) == 0) path = path.substr(root.size() + 1);
  std::replace(path.begin(), path.end(), '\\', '/');
  return std::string(problem.severity == CheckSeverity::Error ? "error" : "warning") + " " +
         faultName(problem.fault) + " " +
         (problem.entryNumber < 0 ? "--" : twoDigits(problem.entryNumber)) + " " +
         roleName(problem.role) + " " + path;
}

std::vector<std::string> describeAll(const std::vector<CheckProblem>& problems,
                                     const std::string& root) {
  std::vector<std::string> lines;
  for (const auto& problem : problems) lines.push_back(describe(problem, root));
  return lines;
}

class CheckGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(CheckGolden, FindsEveryExpectedProblemInOrder) {
  const fs::path folder = kCases / GetParam();
  test::TempDir dir;
  fs::copy(folder / "input", fs::path(dir.path()), fs::copy_options::recursive);

  CheckRequest request;
  for (const std::string& line : split(readBytes(folder / "entries.txt"), '\n')) {
    const std::vector<std::string> fields = split(line, '\t');
    ASSERT_EQ(fields.size(), 3u) << line;
    request.entries.push_back({dir.file(fields[0]), dir.file(fields[1]), dir.file(fields[2]), {}});
  }
  request.destination = dir.file("package");
  if (fs::exists(folder / "destination-length.txt")) {
    // A destination (not made) padded to the length given, for the limits of Windows.
    const std::size_t length = std::stoul(readBytes(folder / "destination-length.txt"));
    ASSERT_LT(request.destination.size(), length);
    request.destination += std::string(length - request.destination.size(), 'p');
  }
  request.programFolder = VESK_DATA_DIR;
  std::uint64_t free = 1ull << 40;
  if (fs::exists(folder / "free-space.txt"))
    free = std::stoull(readBytes(folder / "free-space.txt"));
  request.freeSpace = [free](const std::string&) { return std::optional<std::uint64_t>(free); };

  const std::vector<CheckProblem> problems = checkPackage(request);
  EXPECT_EQ(describeAll(problems, dir.path()),
            split(readBytes(folder / "expected-problems.txt"), '\n'));
  for (const auto& problem : problems) {
    const std::string prefix =
        problem.severity == CheckSeverity::Error ? kCheckErrorPrefix : kCheckWarningPrefix;
    EXPECT_EQ(problem.text.rfind(prefix, 0), 0u) << problem.text;
    EXPECT_NE(problem.text.find(problem.path), std::string::npos) << problem.text;
    if (problem.entryNumber >= 0) {
      EXPECT_EQ(problem.text.find(twoDigits(problem.entryNumber)), prefix.size()) << problem.text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckGolden, ::testing::Values("errors", "warnings"));

// One entry in src/ with a "Sur" group and a data file and a data folder, all sound;
// each case below spoils one thing.
class CheckCase : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("src/s.nuv",
              "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n"
              "<data name=\"c\"><file path=\"ct\" /></data>\r\n"
              "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
    dir.write("src/v.raw", "volume");
    dir.write("src/ct/a.dcm", "slice");
    dir.copyFrom(kPictures + "landscape-320x240.jpg", "src/t.jpg");
    dir.copyFrom(kPictures + "portrait-480x640.png", "src/d.png");
    request.entries.push_back(
        {dir.file("src/s.nuv"), dir.file("src/t.jpg"), dir.file("src/d.png"), {}});
    request.destination = dir.file("package");
    request.programFolder = VESK_DATA_DIR;
    request.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(1ull << 40); };
  }

  // The problems found, sorted: a folder's files come in the file system's order.
  std::vector<std::string> found() {
    std::vector<std::string> problems = describeAll(checkPackage(request), dir.path());
    std::sort(problems.begin(), problems.end());
    return problems;
  }

  test::TempDir dir;
  CheckRequest request;
};

TEST_F(CheckCase, ASoundEntryHasNoProblem) {
  EXPECT_EQ(found(), std::vector<std::string>{});
}

TEST_F(CheckCase, EachSpoiledInputGivesItsProblem) {
  struct Case {
    const char* name;
    std::function<void(test::TempDir&, CheckRequest&)> spoil;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"a square description, which a re-import takes for the thumbnail",
       [](test::TempDir& d, CheckRequest& r) {
         d.copyFrom(kPictures + "square-100x100.png", "src/sq.png");
         r.entries[0].descriptionPath = d.file("src/sq.png");
       },
       {"warning description-not-portrait 00 description src/sq.png"}},
      {"scene read fails",
       [](test::TempDir&, CheckRequest& r) {
         r.readScene = [](const std::string& path) -> Result<std::vector<std::string>> {
           return makeFailure(FailureCode::ReadFailed, path, 5);
         };
       },
       {"error source-unreadable 00 scene src/s.nuv"}},
      {"scene text code page 932 cannot hold",
       [](test::TempDir&, CheckRequest& r) {
         r.readScene = [](const std::string&) -> Result<std::vector<std::string>> {
           return std::vector<std::string>{"<drawGroup name=\"Sur\xF0\x9F\x98\x80\" ></drawGroup>"};
         };
       },
       {"error unencodable-character 00 scene src/s.nuv"}},
      // 0x84 0x63 ("c") does not decode, so 0x84 is carried alone; with the caption
      // taken out it stands before "v", and 0x84 0x76 reads back as one character.
      {"an undecodable byte the merge puts before a byte it pairs with",
       [](test::TempDir&, CheckRequest& r) {
         r.readScene = [](const std::string&) -> Result<std::vector<std::string>> {
           return std::vector<std::string>{
               "<drawGroup name=\"Surf\" >\xF4\x8F\xBE\x84"
               "caption=\"ボリュームレンダリング\" volume_data=\"v\" /></drawGroup>"};
         };
       },
       {"warning undecodable-bytes-joined 00 scene src/s.nuv"}},
      {"scene with more draw groups than a package takes",
       [](test::TempDir&, CheckRequest& r) {
         r.readScene = [](const std::string&) -> Result<std::vector<std::string>> {
           std::vector<std::string> lines;
           for (int i = 0; i <= kMaxSceneElements; ++i) {
             lines.push_back("<drawGroup name=\"g" + std::to_string(i) + "Sur\" ></drawGroup>");
           }
           return lines;
         };
       },
       {"error too-many-elements 00 scene src/s.nuv"}},
      {"picture name code page 932 cannot hold",
       [](test::TempDir& d, CheckRequest& r) {
         d.copyFrom(kPictures + "landscape-320x240.jpg", "src/t\xF0\x9F\x98\x80.jpg");
         r.entries[0].thumbnailPath = d.file("src/t\xF0\x9F\x98\x80.jpg");
       },
       {"error unencodable-character 00 thumbnail src/t\xF0\x9F\x98\x80.jpg"}},
      // U+10FF22 and U+10FF41 stand for the bytes '"' and 'A' in a scene's text only:
      // in a picture's name they would write a quote into the document, or name a
      // file the package does not hold.
      {"picture names holding what stands for an undecodable byte in scene text",
       [](test::TempDir& d, CheckRequest& r) {
         d.copyFrom(kPictures + "landscape-320x240.jpg", "src/x\xF4\x8F\xBC\xA2 y.jpg");
         d.copyFrom(kPictures + "portrait-480x640.png", "src/\xF4\x8F\xBD\x81.png");
         r.entries[0].thumbnailPath = d.file("src/x\xF4\x8F\xBC\xA2 y.jpg");
         r.entries[0].descriptionPath = d.file("src/\xF4\x8F\xBD\x81.png");
       },
       {"error unencodable-character 00 thumbnail src/x\xF4\x8F\xBC\xA2 y.jpg",
        "error unencodable-character 00 description src/\xF4\x8F\xBD\x81.png"}},
      {"button images missing",
       [](test::TempDir& d, CheckRequest& r) {
         d.makeFolder("program");
         r.programFolder = d.file("program");
       },
       {"error source-missing -- none program/up.jpg",
        "error source-missing -- none program/down.jpg"}},
      {"not enough space",
       [](test::TempDir&, CheckRequest& r) {
         r.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(10); };
       },
       {"error not-enough-space -- none package"}},
      {"free space unknown is no problem",
       [](test::TempDir&, CheckRequest& r) {
         r.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(); };
       },
       {}},
      {"entry folder 00 of an earlier package",
       [](test::TempDir& d, CheckRequest&) { d.makeFolder("package/00"); },
       {"error earlier-package -- none package"}},
      {"a later entry folder left in the destination",
       [](test::TempDir& d, CheckRequest& r) {
         r.entries.push_back(r.entries[0]);
         r.entries[1].scenePath = d.file("src/s2.nuv");
         d.write("src/s2.nuv", "<drawGroup name=\"Sur\" ></drawGroup>\r\n");
         d.makeFolder("package/01");
       },
       {"error earlier-package -- none package"}},
      {"an earlier package that is replaced",
       [](test::TempDir& d, CheckRequest& r) {
         d.write("package/exhibition.nuv", "old");
         r.replacing = true;
       },
       {}},
      {"entry folders left without a package to replace",
       [](test::TempDir& d, CheckRequest& r) {
         r.entries.push_back(r.entries[0]);
         r.entries[1].scenePath = d.file("src/s2.nuv");
         d.write("src/s2.nuv", "<drawGroup name=\"Sur\" ></drawGroup>\r\n");
         d.makeFolder("package/01");
         r.replacing = true;  // there is no package to replace: folder 01 is in the way
       },
       {"error earlier-package -- none package"}},
      {"a destination too long for every path",
       [](test::TempDir& d, CheckRequest& r) { r.destination = d.file(std::string(250, 'p')); },
       {"warning name-windows-cannot-hold -- none exhibition.nuv",
        "warning name-windows-cannot-hold 00 scene 00/s.nuv",
        "warning name-windows-cannot-hold 00 thumbnail 00/t.jpg",
        "warning name-windows-cannot-hold 00 description 00/d.png",
        "warning name-windows-cannot-hold 00 data-file 00/v.raw",
        "warning name-windows-cannot-hold 00 data-folder 00/ct",
        "warning name-windows-cannot-hold 00 data-folder 00/ct/a.dcm"}},
      {"a draw group holding an unclosed <data",
       [](test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv", "<drawGroup name=\"Surface\" <data name=\"x\" ></drawGroup>\r\n");
       },
       {"error unclosed-data 00 scene src/s.nuv"}},
      {"a data value holding a NUL",
       [](test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv",
                 "<data name=\"v\"><file path=\"v\0.raw\" /></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n"s);
       },
       {"error unusable-character 00 data-file src/v\0.raw"s}},
      {"a data element naming a second file the create does not copy",
       [](test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv",
                 "<data name=\"v\"><file path=\"v.raw\" /><file path=\"w.raw\" /></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
       },
       {"error document-mismatch 00 scene src/s.nuv"}},
      {"a destination that is a file",
       [](test::TempDir& d, CheckRequest&) { d.write("package", "a file"); },
       {"error destination-unusable -- none package"}},
      {"a folder named like a button image in the destination",
       [](test::TempDir& d, CheckRequest&) { d.makeFolder("package/up.jpg"); },
       {"error destination-unusable -- none package/up.jpg"}},
      {"a destination name longer than the file system takes",
       [](test::TempDir& d, CheckRequest& r) {
         r.destination = d.file("x/" + std::string(300, 'p'));
         r.windowsNames = false;
       },
       {"error name-too-long -- none x/" + std::string(300, 'p')}},
      {"paths longer than the file system takes",
       [](test::TempDir& d, CheckRequest& r) {
         VolumeInfo volume = volumeInfoOf(d.path());
         // The document's is the longest path of the package, built in the working folder.
         volume.pathMax = d.file("package/.vesk-staging/exhibition.nuv").size();
         r.volume = [volume](const std::string&) { return volume; };
       },
       {"error path-too-long -- none exhibition.nuv"}},
      {"a name longer than the file system takes",
       [](test::TempDir& d, CheckRequest& r) {
         VolumeInfo volume = volumeInfoOf(d.path());
         volume.nameMax = 4;
         r.volume = [volume](const std::string&) { return volume; };
         r.windowsNames = false;
       },
       {"error name-too-long 00 scene 00/s.nuv", "error name-too-long 00 data-file 00/v.raw",
        "error name-too-long 00 thumbnail 00/t.jpg", "error name-too-long 00 description 00/d.png",
        "error name-too-long 00 data-folder 00/ct/a.dcm",
        "error name-too-long -- none exhibition.nuv", "error name-too-long -- none up.jpg",
        "error name-too-long -- none down.jpg", "error name-too-long -- none package"}},
      {"free space for the bytes, not for the blocks they take",
       [](test::TempDir&, CheckRequest& r) {
         VolumeInfo volume = volumeInfoOf(r.destination);
         volume.blockSize = 1 << 20;
         r.volume = [volume](const std::string&) { return volume; };
         r.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(1 << 20); };
       },
       {"error not-enough-space -- none package"}},
      {"an empty scene reader reads as the system's",
       [](test::TempDir&, CheckRequest& r) { r.readScene = nullptr; },
       {}},
      {"a data file and a data folder each named again through ..",
       [](test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv",
                 "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n"
                 "<data name=\"w\"><file path=\"..\\src\\v.raw\" /></data>\r\n"
                 "<data name=\"c\"><file path=\"ct\" /></data>\r\n"
                 "<data name=\"d\"><file path=\"..\\src\\ct\" /></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
       },
       {}},
      {"a data folder that is a file",
       [](test::TempDir& d, CheckRequest&) {
         fs::remove_all(d.file("src/ct"));
         d.write("src/ct", "not a folder");
       },
       // A file without an extension that exists is copied as the file it is.
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dir.clear();
    request = {};
    SetUp();
    c.spoil(dir, request);
    std::vector<std::string> expected = c.expected;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found(), expected);
  }
}

TEST_F(CheckCase, ReadsEachSceneOnce) {
  int reads = 0;
  request.readScene = [&](const std::string& path) {
    ++reads;
    return readTextLines(path);
  };
  request.entries.push_back(request.entries[0]);
  checkPackage(request);
  EXPECT_EQ(reads, 2);
}

// Runs work, noting whether another run was under way meanwhile.
struct Alone {
  std::atomic<int> inside{0};
  std::atomic<bool> overlapped{false};
  template <class Work>
  auto operator()(Work work) {
    if (inside++ != 0) overlapped = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    auto result = work();
    --inside;
    return result;
  }
};

// The plan looks at the next entry on a thread of its own while it plans one; the
// caller's reader and probe still see one call at a time, and each picture is probed
// once however many entries show it.
TEST_F(CheckCase, CallsTheReaderAndTheProbeOneAtATimeAndProbesEachPictureOnce) {
  Alone reading, probing;
  std::map<std::string, int> probes;
  request.readScene = [&](const std::string& path) {
    return reading([&] { return readTextLines(path); });
  };
  request.probePicture = [&](const std::string& path) {
    return probing([&] {
      ++probes[path];
      return probeImageSize(path);
    });
  };
  for (int n = 0; n < 3; ++n) {
    const std::string scene = "src/s" + std::to_string(n) + ".nuv";
    fs::copy_file(dir.file("src/s.nuv"), dir.file(scene));
    request.entries.push_back({dir.file(scene), dir.file("src/t.jpg"), dir.file("src/d.png"), {}});
  }
  EXPECT_EQ(describeAll(checkPackage(request), dir.path()), std::vector<std::string>{});
  EXPECT_FALSE(reading.overlapped);
  EXPECT_FALSE(probing.overlapped);
  EXPECT_EQ(probes,
            (std::map<std::string, int>{{dir.file("src/d.png"), 1}, {dir.file("src/t.jpg"), 1}}));
}

// Reports each entry as an item and cancels once `cancelAfter` entries are done.
struct EntryProgress : BuildProgress {
  void started(std::uint64_t bytes, std::uint64_t files) override {
    totals.push_back({bytes, files});
  }
  void advanced(std::uint64_t, std::uint64_t files) override { done = files; }
  bool cancelRequested() override { return done >= cancelAfter; }

  std::vector<std::pair<std::uint64_t, std::uint64_t>> totals;
  std::uint64_t done = 0;
  std::uint64_t cancelAfter = 99;
};

TEST_F(CheckCase, ReportsEntriesAsItsProgressAndACancelIsAnError) {
  request.entries.push_back(request.entries[0]);
  request.entries[1].scenePath = dir.file("src/other.nuv");  // missing, never looked at
  for (const std::uint64_t cancelAfter : {std::uint64_t{99}, std::uint64_t{1}}) {
    EntryProgress progress;
    progress.cancelAfter = cancelAfter;
    request.progress = &progress;
    const std::vector<CheckProblem> problems = checkPackage(request);
    EXPECT_EQ(progress.totals, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 2}}));
    if (cancelAfter == 1) {
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_EQ(problems[0].fault, CheckFault::Cancelled);
      EXPECT_EQ(problems[0].text,
                std::string("エラー　作成前の確認は中止されました: ") + request.destination);
      EXPECT_TRUE(hasCheckErrors(problems));
      EXPECT_EQ(checkReportText(problems), problems[0].text) << "no heading of problems found";
    } else {
      EXPECT_EQ(progress.done, 2u);
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_EQ(problems[0].fault, CheckFault::SourceMissing);
    }
  }
}

TEST_F(CheckCase, AnObserverFollowsThePlanAndCanEndIt) {
  struct Observer : PlanObserver {
    void advanced(double fraction) override { fractions.push_back(fraction); }
    bool cancelRequested() override { return fractions.size() >= cancelAfter; }
    std::vector<double> fractions;
    std::size_t cancelAfter = 99;
  };
  request.entries.push_back(request.entries[0]);
  Observer follows;
  const PackagePlan whole = planPackage(request, &follows);
  EXPECT_FALSE(whole.cancelled);
  EXPECT_EQ(follows.fractions, (std::vector<double>{0.0, 0.5, 1.0}));
  EXPECT_FALSE(whole.documentEntries.empty());

  Observer cancels;
  cancels.cancelAfter = 1;
  const PackagePlan part = planPackage(request, &cancels);
  EXPECT_TRUE(part.cancelled);
  EXPECT_EQ(cancels.fractions, std::vector<double>{0.0});
  EXPECT_TRUE(part.documentEntries.empty()) << "an incomplete plan is never created";
}

TEST_F(CheckCase, TheReportHasAHeadingAndOneLineEach) {
  request.entries[0].thumbnailPath = dir.file("src/none.jpg");
  dir.copyFrom(kPictures + "landscape-320x240.jpg", "src/d-wide.jpg");
  request.entries[0].descriptionPath = dir.file("src/d-wide.jpg");
  const auto problems = checkPackage(request);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(
      checkReportText(problems),
      std::string(kCheckErrorsHeading) +
          "\nエラー　00 サムネイルが見つかりません: " + dir.file("src/none.jpg") +
          "\n警告　00 "
          "説明文が横長です（320×240）。パッケージを読み込み直すとサムネイルとして扱われます: " +
          dir.file("src/d-wide.jpg"));
  EXPECT_TRUE(hasCheckErrors(problems));
  EXPECT_EQ(checkWarningCount(problems), 1u);
  const std::vector<CheckProblem> warningsOnly{problems.back()};
  EXPECT_EQ(checkReportText(warningsOnly).rfind(kCheckWarningsHeading, 0), 0u);
  EXPECT_EQ(checkReportText({}), "");
}

#ifndef _WIN32
TEST_F(CheckCase, PosixOnlyInputsGiveTheirProblems) {
  struct Case {
    const char* name;
    bool needsNonRoot;
    std::function<void(test::TempDir&, CheckRequest&)> spoil;
    std::vector<std::string> expected;
  };
  // The entry as read back from the package in old/: its files in the entry folder 00,
  // where links are none of the package's own. Without the document, or with a manifest
  // that does not list the scene, the scene is the operator's own.
  const auto fromPackage = [](test::TempDir& d, CheckRequest& r, bool document = true,
                              const std::string& listed = "00/s.nuv") {
    d.makeFolder("old");
    fs::copy(d.file("src"), d.file("old/00"), fs::copy_options::recursive);
    if (document) d.write("old/exhibition.nuv", "");
    d.write("old/exhibition.sha256", std::string(64, '0') + "  " + listed + "\n");
    r.entries[0] = {d.file("old/00/s.nuv"), d.file("old/00/t.jpg"), d.file("old/00/d.png"), {}};
    r.windowsNames = false;
  };
  const std::vector<Case> cases = {
      {"links in a package's entry folder are not followed",
       false,
       [&](test::TempDir& d, CheckRequest& r) {
         fromPackage(d, r);
         fs::remove(d.file("old/00/v.raw"));
         fs::create_symlink(d.file("src/v.raw"), d.file("old/00/v.raw"));
         fs::create_symlink(d.file("src/v.raw"), d.file("old/00/ct/b.dcm"));
       },
       {"error source-not-regular 00 data-file old/00/v.raw",
        "error source-not-regular 00 data-folder old/00/ct/b.dcm"}},
      {"a data folder of a package's entry folder that is a link",
       false,
       [&](test::TempDir& d, CheckRequest& r) {
         fromPackage(d, r);
         fs::remove_all(d.file("old/00/ct"));
         fs::create_directory_symlink(d.file("src/ct"), d.file("old/00/ct"));
       },
       {"error source-not-regular 00 data-folder old/00/ct"}},
      {"links beside a scene the package does not list are followed",
       false,
       [&](test::TempDir& d, CheckRequest& r) {
         fromPackage(d, r, true, "00/other.nuv");
         fs::remove(d.file("old/00/v.raw"));
         fs::create_symlink(d.file("src/v.raw"), d.file("old/00/v.raw"));
       },
       {}},
      {"links beside a scene outside any package are followed",
       false,
       [&](test::TempDir& d, CheckRequest& r) {
         fromPackage(d, r, false);
         fs::remove(d.file("old/00/v.raw"));
         fs::create_symlink(d.file("src/v.raw"), d.file("old/00/v.raw"));
         fs::create_symlink(d.file("src/v.raw"), d.file("old/00/ct/b.dcm"));
       },
       {}},
      {"unreadable thumbnail",
       true,
       [](test::TempDir& d, CheckRequest&) { ::chmod(d.file("src/t.jpg").c_str(), 0); },
       {"error source-unreadable 00 thumbnail src/t.jpg"}},
      {"unreadable scene",
       true,
       [](test::TempDir& d, CheckRequest&) { ::chmod(d.file("src/s.nuv").c_str(), 0); },
       {"error source-unreadable 00 scene src/s.nuv"}},
      {"unreadable data folder",
       true,
       [](test::TempDir& d, CheckRequest&) { ::chmod(d.file("src/ct").c_str(), 0); },
       {"error source-unreadable 00 data-folder src/ct"}},
      {"unreadable file in a data folder",
       true,
       [](test::TempDir& d, CheckRequest&) { ::chmod(d.file("src/ct/a.dcm").c_str(), 0); },
       {"error source-unreadable 00 data-folder src/ct/a.dcm"}},
      {"a pipe as data file",
       false,
       [](test::TempDir& d, CheckRequest&) {
         fs::remove(d.file("src/v.raw"));
         ::mkfifo(d.file("src/v.raw").c_str(), 0600);
       },
       {"error source-not-regular 00 data-file src/v.raw"}},
      {"a pipe in a data folder",
       false,
       [](test::TempDir& d, CheckRequest&) { ::mkfifo(d.file("src/ct/p.dcm").c_str(), 0600); },
       {"error source-not-regular 00 data-folder src/ct/p.dcm"}},
      {"a picture name the document cannot quote",
       false,
       [](test::TempDir& d, CheckRequest& r) {
         d.copyFrom(kPictures + "portrait-480x640.png", "src/d\".png");
         r.entries[0].descriptionPath = d.file("src/d\".png");
       },
       {"error unwritable-name 00 description src/d\".png",
        "warning name-windows-cannot-hold 00 description 00/d\".png"}},
      {"windows names in a data folder and the data paths",
       false,
       [](test::TempDir& d, CheckRequest& r) {
         d.write("src/ct/CON.dcm", "x");
         d.write("src/ct/lpt9", "x");
         d.write("src/ct/ok.com1", "x");
         d.write("src/s.nuv",
                 "<data name=\"c\"><file path=\"ct\" /></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
         r.windowsNames = true;
       },
       {"warning name-windows-cannot-hold 00 data-folder 00/ct/CON.dcm",
        "warning name-windows-cannot-hold 00 data-folder 00/ct/lpt9"}},
      {"names differing only in letter case, on a destination that tells case apart",
       false,
       [](test::TempDir& d, CheckRequest& r) {
         d.write("src/ct/Slice.dcm", "x");
         d.write("src/ct/slice.dcm", "x");
         r.windowsNames = true;
       },
       {"warning name-windows-cannot-hold 00 data-folder 00/ct/slice.dcm"}},
      {"a data element naming no file copies the scene's folder",
       false,
       [](test::TempDir& d, CheckRequest& r) {
         d.write("src/s.nuv",
                 "<data name=\"p\" type=\"param\" ></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
         r.windowsNames = false;
       },
       {"warning data-element-without-path 00 data-folder src/"}},
      {"a two-digit folder and link beside the package's own",
       false,
       [](test::TempDir& d, CheckRequest& r) {
         d.makeFolder("package/55");
         fs::create_symlink(d.file("src"), d.file("package/56"));
         d.write("package/57", "a file is no entry folder");
         r.windowsNames = false;
       },
       {"warning stray-entry-folder -- none package/55",
        "warning stray-entry-folder -- none package/56"}},
      {"windows names not asked for",
       false,
       [](test::TempDir& d, CheckRequest& r) {
         d.write("src/ct/CON.dcm", "x");
         r.windowsNames = false;
       },
       {}},
      {"names with trailing dot, blank, colon, control character",
       false,
       [](test::TempDir& d, CheckRequest&) {
         d.write("src/ct/x.", "x");
         d.write("src/ct/y.dcm ", "x");
         d.write("src/ct/a:b.dcm", "x");
         d.write("src/ct/tab\t.dcm", "x");
       },
       {"warning name-windows-cannot-hold 00 data-folder 00/ct/a:b.dcm",
        "warning name-windows-cannot-hold 00 data-folder 00/ct/tab\t.dcm",
        "warning name-windows-cannot-hold 00 data-folder 00/ct/x.",
        "warning name-windows-cannot-hold 00 data-folder 00/ct/y.dcm "}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsNonRoot && ::geteuid() == 0) continue;  // root reads unreadable files
    dir.clear();
    request = {};
    SetUp();
    c.spoil(dir, request);
    std::vector<std::string> expected = c.expected;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found(), expected);
    ::chmod(dir.file("src/ct").c_str(), 0755);
  }
}
#endif

TEST(SystemFreeSpace, IsFoundThroughTheNearestExistingParent) {
  test::TempDir dir;
  const auto free = systemFreeSpace(dir.path());
  ASSERT_TRUE(free.has_value());
  const auto below = systemFreeSpace(dir.file("not/yet/made"));
  ASSERT_TRUE(below.has_value());
  // The same file system: the two differ only by what others wrote meanwhile.
  EXPECT_LT(*below > *free ? *below - *free : *free - *below, 1ull << 30);
}

// On a destination whose names ignore letter case (a FAT stick mounted on Linux), two
// sources whose names differ only there would land on one file: a collision.
TEST_F(CheckCase, NamesDifferingOnlyInCaseCollideWhereTheDestinationIgnoresCase) {
  // Each pair: a data file beside the scene and one from another folder, copied into
  // the same entry folder under names differing only in letter case.
  const std::pair<std::string, std::string> pairs[] = {{"v.raw", "V.raw"},
                                                       {"ｖ画像.raw", "Ｖ画像.raw"}};
  for (const auto& [small, capital] : pairs) {
    const std::string scene = "<data name=\"v\"><file path=\"" + small + "\" /></data>\r\n" +
                              "<data name=\"w\"><file path=\"..\\o\\" + capital +
                              "\" /></data>\r\n<drawGroup name=\"Surface\" ></drawGroup>\r\n";
    dir.write("src/s.nuv", encodeCp932(scene).value());
    dir.write("src/" + small, "a volume");
    dir.write("o/" + capital, "another volume");  // copied beside it
    for (const bool ignoresCase : {false, true}) {
      VolumeInfo volume = volumeInfoOf(request.destination);
      volume.caseInsensitive = ignoresCase;
      request.volume = [volume](const std::string&) { return volume; };
      std::size_t collisions = 0;
      for (const CheckProblem& problem : checkPackage(request)) {
        if (problem.fault == CheckFault::Collision) ++collisions;
      }
#ifdef _WIN32
      const bool folded = true;  // every place is keyed without case on Windows
#else
      const bool folded = ignoresCase;
#endif
      EXPECT_EQ(collisions, folded ? 1u : 0u) << capital << " " << ignoresCase;
    }
  }
}

#ifndef _WIN32
// The space the check asks for covers everything the package takes once made, in whole
// blocks: its files, its folders' entries, the manifest and the copy record, and the
// report page when the create writes one.
TEST_F(CheckCase, TheSpaceItAsksForCoversAllThePackageTakes) {
  const auto blocksOf = [](const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return static_cast<std::uint64_t>(info.st_blocks) * 512;
  };
  struct Case {
    const char* label;
    int slices;  // files of the entry's data folder, with long names
    bool report;
  };
  for (const Case& c : {Case{"the report page", 0, true}, Case{"many long names", 400, false}}) {
    SCOPED_TRACE(c.label);
    for (int i = 0; i < c.slices; ++i) {
      dir.write("src/ct/a-slice-with-a-rather-long-name-" + std::to_string(i) + ".dcm", "s");
    }
    request.destination = dir.file(c.label);
    request.withReport = c.report;
    const PackagePlan plan = planPackage(request);
    ASSERT_FALSE(hasCheckErrors(plan.problems));
    test::RecordingSink sink;
    CreateRequest create{request.entries, request.destination, request.programFolder};
    create.writeReport = c.report;
    ASSERT_EQ(createPackage(create, sink).status, BuildStatus::Written);
    ASSERT_EQ(fs::exists(fs::path(request.destination) / kReportFileName), c.report);
    std::uint64_t taken = blocksOf(request.destination);
    for (const auto& item : fs::recursive_directory_iterator(request.destination)) {
      taken += blocksOf(item.path());
    }
    EXPECT_GE(plan.bytesNeeded, taken);
  }
}
#endif

}  // namespace
}  // namespace vesk
