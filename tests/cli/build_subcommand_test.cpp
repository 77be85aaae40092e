#include <gtest/gtest.h>

#include "messages/command_line_texts.h"
#include "messages/message_template.h"
#include "messages/messages.h"

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "base/path_terms.h"
#include "cli.h"
#include "messages/report_texts.h"
#include "package/package_replace.h"
#include "package/package_verify.h"
#include "stream_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

// The second line of the output: the summary below the success line.
std::string summaryOf(const std::string& out) {
  const std::size_t begin = out.find('\n') + 1;
  return out.substr(begin, out.find('\n', begin) - begin);
}

class CliBuild : public ::testing::Test {
 protected:
  struct Result {
    int status;
    std::string out, err;
  };

  Result run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int status = cli::run(args, out, err);
    return {status, out.str(), err.str()};
  }

  // Scene, thumbnail and description of a new entry in src/<name>/.
  std::vector<std::string> entry(const std::string& name) {
    const std::string folder = "src/" + name + "/";
    dir.write(folder + name + ".nuv",
              "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n<drawGroup name=\"Surface\" "
              "></drawGroup>\r\n");
    dir.write(folder + "v.raw", "volume " + name);
    dir.copyFrom(kPictures + "landscape-320x240.jpg", folder + "t.jpg");
    dir.copyFrom(kPictures + "portrait-480x640.png", folder + "d.png");
    return {"--entry", dir.file(folder + name + ".nuv"), dir.file(folder + "t.jpg"),
            dir.file(folder + "d.png")};
  }

  std::vector<std::string> buildArgs(const std::string& dest,
                                     const std::vector<std::string>& names) {
    std::vector<std::string> args{"build", "--dest", dir.file(dest), "--program-dir",
                                  VESK_PROGRAM_DIR};
    for (const auto& name : names) {
      for (auto& arg : entry(name)) args.push_back(arg);
    }
    return args;
  }

  vesk::test::TempDir dir;
};

TEST_F(CliBuild, BuildsAPackageIntoANewFolderAndPrintsSuccessOnStdout) {
  const Result result = run(buildArgs("new/pkg", {"a", "b"}));
  EXPECT_EQ(result.status, 0) << result.err;
  // The success line, then the summary: 2 entries of 4 files each and the buttons.
  EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "展示用nuvファイルを作成しました");
  EXPECT_EQ(summaryOf(result.out).rfind("項目 2 件、ファイル 10 個、容量 ", 0), 0u) << result.out;
  EXPECT_NE(summaryOf(result.out).find("、警告 0 件"), std::string::npos) << result.out;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(fs::exists(dir.file("new/pkg/exhibition.nuv")));
  EXPECT_EQ(dir.read("new/pkg/01/v.raw"), "volume b");
}

// A scene typed without a folder lies in the current one: the files it names below
// that folder, and a data element that names none (the whole folder), are found there.
TEST_F(CliBuild, ASceneTypedWithoutAFolderIsFoundWithItsFilesInTheCurrentOne) {
  entry("a");
  dir.write("src/a/a.nuv",
            "<data name=\"m\"><file path=\"m\\mesh.obj\" /></data>\r\n<data name=\"w\" "
            "></data>\r\n<drawGroup name=\"Surface\" ></drawGroup>\r\n");
  dir.write("src/a/m/mesh.obj", "mesh");
  struct InFolder {
    fs::path before = fs::current_path();
    explicit InFolder(const std::string& folder) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(before); }
  } inFolder(dir.file("src/a"));
  for (const char* command : {"check", "build"}) {
    const Result result = run({command, "--dest", dir.file("pkg"), "--program-dir",
                               VESK_PROGRAM_DIR, "--entry", "a.nuv", "t.jpg", "d.png"});
    EXPECT_EQ(result.status, 0) << command << ": " << result.out << result.err;
  }
  EXPECT_EQ(dir.read("pkg/00/m/mesh.obj"), "mesh");
  EXPECT_EQ(dir.read("pkg/00/v.raw"), "volume a");
}

TEST_F(CliBuild, ARefusedCommandCreatesNothingAndExitsOne) {
  const Result result = run({"build", "--dest", dir.file("never")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "エラー　nuvファイルが一つも登録されていません\n");
  EXPECT_FALSE(fs::exists(dir.file("never")));
}

TEST_F(CliBuild, ADestinationTooLongToLookAtIsRefusedForItsOwnReason) {
  const Result result = run(buildArgs(std::string(300, 'd') + "/pkg", {"a"}));
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err.find(kWorkingFolderNotOursMessage), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("長すぎます"), std::string::npos) << result.err;
}

TEST_F(CliBuild, AReportedFailureExitsOne) {
  ASSERT_EQ(run(buildArgs("pkg", {"a"})).status, 0);
  const Result again = run(buildArgs("pkg", {"b"}));
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.out, "");
  // The check made first finds the earlier package; nothing is copied.
  EXPECT_EQ(again.err, std::string(kCheckErrorsHeading) + "\n" + kCheckErrorPrefix +
                           kCheckEarlierPackage + ": " + dir.file("pkg") + "\n");
  EXPECT_FALSE(fs::exists(dir.file("pkg/00/b.nuv")));
}

TEST_F(CliBuild, UsageErrorsExitTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {},
           {"build"},
           {"build", "--dest", "x", "--entry", "a.nuv", "t.jpg"},
           {"frobnicate"},
           {"reimport"},
       }) {
    EXPECT_EQ(run(args).status, 2) << (args.empty() ? "(none)" : args[0]);
  }
}

TEST_F(CliBuild, APackageRebuiltFromItsDocumentIsByteIdentical) {
  ASSERT_EQ(run(buildArgs("old", {"a", "b", "c"})).status, 0);
  const Result listed = run({"reimport", dir.file("old/exhibition.nuv")});
  EXPECT_EQ(listed.status, 0);
  std::string expected;
  for (const char* nn : {"00", "01", "02"}) {
    const std::string base = dir.file(std::string("old/") + nn + "/");
    expected +=
        base + std::string(1, "abc"[nn[1] - '0']) + ".nuv\t" + base + "t.jpg\t" + base + "d.png\n";
  }
  EXPECT_EQ(listed.out, expected);

  const Result rebuilt = run({"build", "--from", dir.file("old/exhibition.nuv"), "--dest",
                              dir.file("new"), "--program-dir", VESK_PROGRAM_DIR});
  EXPECT_EQ(rebuilt.status, 0) << rebuilt.err;
  EXPECT_EQ(dir.read("new/exhibition.nuv"), dir.read("old/exhibition.nuv"));
  EXPECT_EQ(dir.read("new/02/v.raw"), "volume c");
}

// A package read back short of an entry builds nothing: the operator is told which
// folders were not read.
TEST_F(CliBuild, FromAPackageWithAGapInItsFoldersBuildsNothing) {
  ASSERT_EQ(run(buildArgs("old", {"a", "b", "c"})).status, 0);
  fs::rename(dir.file("old/01"), dir.file("aside"));
  const Result rebuilt = run({"build", "--from", dir.file("old/exhibition.nuv"), "--dest",
                              dir.file("new"), "--program-dir", VESK_PROGRAM_DIR});
  EXPECT_EQ(rebuilt.status, 1);
  EXPECT_NE(rebuilt.err.find("フォルダ01がないため、次のフォルダは読み込まれていません:\n02"),
            std::string::npos)
      << rebuilt.err;
  EXPECT_FALSE(fs::exists(dir.file("new")));
}

TEST_F(CliBuild, FromEntriesComeBeforeTheGivenOnes) {
  ASSERT_EQ(run(buildArgs("old", {"a"})).status, 0);
  auto args = buildArgs("new", {"b"});
  args.insert(args.begin() + 1, {"--from", dir.file("old/exhibition.nuv")});
  ASSERT_EQ(run(args).status, 0);
  EXPECT_TRUE(fs::exists(dir.file("new/00/a.nuv")));
  EXPECT_TRUE(fs::exists(dir.file("new/01/b.nuv")));
}

TEST_F(CliBuild, AnEarlierPackageIsRefusedWithoutReplaceAndReplacedInPlaceWithIt) {
  ASSERT_EQ(run(buildArgs("pkg", {"a", "b"})).status, 0);
  const std::string earlier = dir.read("pkg/exhibition.nuv");
  EXPECT_EQ(run(buildArgs("pkg", {"c"})).status, 1);
  EXPECT_EQ(dir.read("pkg/exhibition.nuv"), earlier);

  // The package's own entries, reordered after a re-import, into the same folder.
  const Result replaced = run({"build", "--replace", "--from", dir.file("pkg/exhibition.nuv"),
                               "--dest", dir.file("pkg"), "--program-dir", VESK_PROGRAM_DIR});
  EXPECT_EQ(replaced.status, 0) << replaced.err;
  EXPECT_EQ(replaced.out.substr(0, replaced.out.find('\n')), "展示用nuvファイルを作成しました");
  EXPECT_EQ(summaryOf(replaced.out).rfind("項目 2 件、ファイル 10 個、容量 ", 0), 0u)
      << replaced.out;
  EXPECT_EQ(dir.read("pkg/00/v.raw"), "volume a");
  EXPECT_EQ(dir.read("pkg/01/v.raw"), "volume b");
  EXPECT_EQ(dir.names("pkg"),
            (std::vector<std::string>{"00", "01", "down.jpg", "exhibition.nuv", "exhibition.sha256",
                                      "exhibition.vesk-copies", "up.jpg"}));
}

TEST_F(CliBuild, DemoBuildsTheSampleAndReplacesOnlyAnEarlierDemo) {
  const Result first = run({"demo", dir.file("demo")});
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("メニュー: 2 ページ"), std::string::npos) << first.out;
  EXPECT_TRUE(fs::exists(dir.file("demo/exhibition.nuv")));
  EXPECT_TRUE(fs::exists(dir.file("demo/06")));
  // Checked first, as a build is: a warning is shown and counted.
  dir.makeFolder("demo/55");
  const Result second = run({"demo", dir.file("demo")});
  EXPECT_EQ(second.status, 0);
  EXPECT_NE(second.err.find(kCheckStrayEntryFolder), std::string::npos) << second.err;
  EXPECT_NE(second.out.find("警告 1 件"), std::string::npos) << second.out;
  // Nothing of the sample changed: every file is the first demo's, none copied again.
  EXPECT_NE(second.out.find("コピーしたファイル: 0 個（0 バイト）と exhibition.nuv、以前の見本から"
                            "再利用したファイル: 81 個"),
            std::string::npos)
      << second.out;

  dir.write("mine/keep.txt", "mine");
  const Result refused = run({"demo", dir.file("mine")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(dir.read("mine/keep.txt"), "mine");
  const Result file = run({"demo", dir.file("mine/keep.txt")});
  EXPECT_EQ(file.status, 1);
  EXPECT_EQ(file.err,
            fillTemplate(kCliDemoNotAFolder, {{"path", dir.file("mine/keep.txt")}}) + "\n");
}

// A second demo replaces the first as a replace does: an operator's file beside the
// package stays, one inside it (or a link where a folder was) stops the demo before
// anything is removed, and nothing is followed.
TEST_F(CliBuild, ASecondDemoNeverDeletesFilesTheFirstDidNotMake) {
  struct Case {
    const char* label;
    std::function<void()> meddle;
    int status;
  };
  const std::vector<Case> cases = {
      {"a note beside the package", [&] { dir.write("demo/notes.txt", "mine"); }, 0},
      {"a file in an entry folder", [&] { dir.write("demo/00/mine.txt", "mine too"); }, 1},
#ifndef _WIN32
      {"an entry folder made a link",
       [&] {
         dir.write("elsewhere/heart.nuv", "not the demo's");
         fs::rename(dir.file("demo/00"), dir.file("aside"));
         fs::create_directory_symlink(dir.file("elsewhere"), dir.file("demo/00"));
       },
       1},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    dir.clear();
    ASSERT_EQ(run({"demo", dir.file("demo")}).status, 0);
    const std::string earlier = dir.read("demo/exhibition.nuv");
    c.meddle();
    const Result again = run({"demo", dir.file("demo")});
    EXPECT_EQ(again.status, c.status) << again.err;
    EXPECT_EQ(dir.read("demo/exhibition.nuv"), earlier);
    if (fs::exists(dir.file("demo/notes.txt"))) {
      EXPECT_EQ(dir.read("demo/notes.txt"), "mine");
    }
    if (fs::exists(dir.file("demo/00/mine.txt"))) {
      EXPECT_EQ(dir.read("demo/00/mine.txt"), "mine too");
    }
    if (fs::exists(dir.file("elsewhere"))) {
      EXPECT_EQ(dir.read("elsewhere/heart.nuv"), "not the demo's");
      EXPECT_EQ(dir.names("elsewhere"), std::vector<std::string>{"heart.nuv"});
    }
  }
}

// A replace killed midway, then each command on its folder: the check warns and
// passes, verify and reimport say that a replace was interrupted, and a build (with
// or without --replace, or from the package itself) finishes or undoes it first.
TEST_F(CliBuild, AnInterruptedReplaceIsNamedByEveryCommandAndFinishedByTheNextBuild) {
  struct Case {
    std::string label;
    std::vector<std::string> extra;  // options of the build after the kill
    bool replace;
    int status;
    std::string data = "v.raw";  // what entry a's scene names
  };
  const std::vector<Case> cases{
      {"build --replace", {}, true, 0},
      {"build", {}, false, 1},
      {"build --replace --from", {"--from", "pkg/exhibition.nuv"}, true, 0},
      {"build --replace --from, a scene naming data beside its folder",
       {"--from", "pkg/exhibition.nuv"},
       true,
       0,
       "..\\shared\\s.raw"},
      {"build --replace of an entry read from the package",
       {"--entry", "pkg/00/a.nuv", "pkg/00/t.jpg", "pkg/00/d.png"},
       true,
       0},
  };
  const auto scene = [](const std::string& data, bool drawGroup) {
    return "<data name=\"v\"><file path=\"" + data + "\" /></data>\r\n" +
           (drawGroup ? "<drawGroup name=\"Surface\" ></drawGroup>\r\n" : "");
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    dir.clear();
    const auto args = buildArgs("pkg", {"a", "b"});
    dir.write("src/a/a.nuv", scene(c.data, true));
    dir.write("src/shared/s.raw", "shared");
    ASSERT_EQ(run(args).status, 0);
    const std::string earlier = dir.read("pkg/exhibition.nuv");
    // Killed once the earlier document and folder 00 are aside.
    std::vector<ExhibitionEntry> entries{
        {dir.file("src/b/b.nuv"), dir.file("src/b/t.jpg"), dir.file("src/b/d.png"), {}}};
    std::ostringstream ignored;
    cli::StreamSink quiet(ignored);
    replacePackage({entries, dir.file("pkg"), VESK_PROGRAM_DIR}, quiet, nullptr,
                   [](int, const std::string& what) { return what != "move aside 01"; });
    ASSERT_FALSE(fs::exists(dir.file("pkg/exhibition.nuv")));

    auto check = buildArgs("pkg", {"c"});
    check[0] = "check";
    check.push_back("--replace");
    const Result checked = run(check);
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_NE(checked.err.find(kCheckInterruptedReplace), std::string::npos) << checked.err;
    const Result verified = run({"verify", dir.file("pkg/exhibition.nuv")});
    EXPECT_EQ(verified.status, 1);
    EXPECT_EQ(verified.err.find(kVerifyFailedMessage), std::string::npos) << verified.err;
    EXPECT_NE(verified.err.find(dir.file("pkg")), std::string::npos) << verified.err;
    const Result reimported = run({"reimport", dir.file("pkg/exhibition.nuv")});
    EXPECT_EQ(reimported.status, 1);
    EXPECT_EQ(reimported.err, verified.err);
    const Result readFrom = run({"build", "--dest", dir.file("other"), "--program-dir",
                                 VESK_PROGRAM_DIR, "--from", dir.file("pkg/exhibition.nuv")});
    EXPECT_EQ(readFrom.status, 1);
    EXPECT_EQ(readFrom.err, verified.err);

    std::vector<std::string> build{"build", "--dest", dir.file("pkg"), "--program-dir",
                                   VESK_PROGRAM_DIR};
    if (c.replace) build.push_back("--replace");
    for (const auto& option : c.extra) {
      build.push_back(option.find('/') == std::string::npos ? option : dir.file(option));
    }
    if (c.extra.empty()) {
      for (auto& arg : entry("c")) build.push_back(arg);
    }
    // The check of the same build foresees its verdict, the package read back from
    // where the undo will put it: a scene of an entry folder set aside (now without a
    // draw group, a warning) is named by the path the build meets it at.
    dir.write("pkg/.vesk-staging/.vesk-previous/00/a.nuv", scene(c.data, false));
    std::vector<std::string> checkSame = build;
    checkSame[0] = "check";
    const Result foreseen = run(checkSame);
    EXPECT_EQ(foreseen.status, c.status) << foreseen.err;
    if (!c.extra.empty()) {
      EXPECT_NE(foreseen.err.find(dir.file("pkg/00/a.nuv")), std::string::npos) << foreseen.err;
      EXPECT_EQ(foreseen.err.find(".vesk-previous"), std::string::npos) << foreseen.err;
    }
    const Result built = run(build);
    EXPECT_EQ(built.status, c.status) << built.err;
    EXPECT_NE(built.err.find(kInterruptedReplaceRolledBackMessage), std::string::npos) << built.err;
    EXPECT_TRUE(verifyPackage(dir.file("pkg/exhibition.nuv")).empty());
    if (c.status != 0) {
      EXPECT_EQ(dir.read("pkg/exhibition.nuv"), earlier);
    }
    EXPECT_FALSE(fs::exists(dir.file("pkg/.vesk-staging")));
  }
}

TEST_F(CliBuild, ReimportOfSomethingThatIsNoPackageExitsOne) {
  dir.write("x/exhibition.nuv", "no package beside it");
  dir.write("y/other.nuv", "x");
  for (const auto& path : {dir.file("missing/exhibition.nuv"), dir.file("x/exhibition.nuv"),
                           dir.file("y/other.nuv")}) {
    const Result result = run({"reimport", path});
    EXPECT_EQ(result.status, 1) << path;
    EXPECT_EQ(result.out, "") << path;
    EXPECT_EQ(result.err, std::string(kNotAPackageMessage) + path + "\n") << path;
  }
  const Result from =
      run({"build", "--dest", dir.file("new"), "--from", dir.file("x/exhibition.nuv")});
  EXPECT_EQ(from.status, 1);
  EXPECT_FALSE(fs::exists(dir.file("new")));
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

class CliBuildReport : public CliBuild {};

TEST_F(CliBuildReport, TheReportIsAMemberOfThePackageForTheReplaceAndNamedNowhereInTheDocument) {
  std::vector<std::string> args = buildArgs("pkg", {"a", "b"});
  args.push_back("--report");
  const Result first = run(args);
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(dir.names("pkg"),
            (std::vector<std::string>{"00", "01", "down.jpg", "exhibition.nuv", "exhibition.sha256",
                                      "exhibition.vesk-copies", "up.jpg", kReportFileName}));
  const std::string page = dir.read("pkg/vesk-report.html");
  EXPECT_NE(page.find("<img src=\"00/t.jpg\""), std::string::npos);
  EXPECT_EQ(dir.read("pkg/exhibition.nuv").find("vesk-report"), std::string::npos);

  // Replaced without a report: the earlier one goes with the earlier package.
  const Result plain = run({"build", "--replace", "--from", dir.file("pkg/exhibition.nuv"),
                            "--dest", dir.file("pkg"), "--program-dir", VESK_PROGRAM_DIR});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(dir.names("pkg"),
            (std::vector<std::string>{"00", "01", "down.jpg", "exhibition.nuv", "exhibition.sha256",
                                      "exhibition.vesk-copies", "up.jpg"}));

  // Replaced with one: the new report names the destination, not the staging folder.
  const Result again =
      run({"build", "--replace", "--report", "--from", dir.file("pkg/exhibition.nuv"), "--dest",
           dir.file("pkg"), "--program-dir", VESK_PROGRAM_DIR});
  ASSERT_EQ(again.status, 0) << again.err;
  const std::string replaced = dir.read("pkg/vesk-report.html");
  EXPECT_NE(replaced.find("<h1>確認ページ pkg</h1>"), std::string::npos);
  EXPECT_EQ(replaced.find(".vesk-staging"), std::string::npos);
  EXPECT_EQ(dir.names("pkg").size(), 8u);
}

TEST_F(CliBuildReport, AFileOfTheReportsNameThatNoPackageOwnsStopsTheBuildUntouched) {
  dir.write("dest/vesk-report.html", "mine");
  for (const bool report : {false, true}) {
    std::vector<std::string> args = buildArgs("dest", {"a"});
    if (report) args.push_back("--report");
    const Result refused = run(args);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(std::string(kCheckReportInTheWay) + ": " +
                               dir.file("dest/vesk-report.html")),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(dir.names("dest"), std::vector<std::string>{kReportFileName});
    EXPECT_EQ(dir.read("dest/vesk-report.html"), "mine");
  }
}

}  // namespace
}  // namespace vesk
