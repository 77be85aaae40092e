#include "package/build_command.h"
#include "messages/messages.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/cp932.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "package/content_verify.h"
#include "package/failure_reason.h"
#include "package/package_check.h"
#include "package/package_layout.h"
#include "package/package_plan.h"
#include "package/package_swap.h"
#include "package/package_verify.h"
#include "package/scene_files.h"
#include "support/recording_sink.h"
#include "support/system_errors.h"
#include "support/temp_dir.h"
#include "support/unreadable_file.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

class BuildCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "program/up.jpg");
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/down.jpg", "program/down.jpg");
  }

  // Adds an entry with a scene (UTF-8 text, written as code page 932 with CR LF) in
  // src/<name>/, a landscape thumbnail and a portrait description.
  void add(const std::string& name, const std::string& scene = "",
           const std::string& thumbnailName = "t.jpg") {
    const std::string folder = "src/" + name + "/";
    std::string crlf;
    for (char c : scene) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    dir.write(folder + name + ".nuv", encodeCp932(crlf).value_or(""));
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", folder + thumbnailName);
    dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png",
                 folder + "d.png");
    list.workingEntry() = {dir.file(folder + name + ".nuv"),
                           dir.file(folder + thumbnailName),
                           dir.file(folder + "d.png"),
                           {"stale"}};
    list.appendWorkingEntry();
  }

  // Creates the package of the list into `destination` (made by the create) and
  // keeps what the dialog keeps of it: each entry's data files and the top groups.
  BuildReport build(const std::string& destination = "D") {
    CreateRequest request;
    request.entries = list.entries();
    request.destination = dir.file(destination);
    request.programFolder = dir.file("program");
    BuildReport report = createPackage(request, sink);
    for (std::size_t i = 0; i < report.dataFiles.size(); ++i) {
      list.dataFilesOf(i) = report.dataFiles[i];
    }
    if (report.status == BuildStatus::Written) topGroupNames = report.topGroupNames;
    return report;
  }

  vesk::test::TempDir dir;
  vesk::test::RecordingSink sink;
  EntryList list;
  std::vector<std::string> topGroupNames;
};

// The count before the chooser is the dialog controller's (CreateCommand tests); the
// create checks it again, touching nothing.
TEST_F(BuildCommand, AnEmptyListAndAHundredEntriesAreRefusedWithoutTouchingTheDestination) {
  EXPECT_EQ(build().status, BuildStatus::Refused);
  EXPECT_EQ(sink.messages, std::vector<std::string>{kNoEntriesMessage});
  EXPECT_EQ(sink.kinds, std::vector<MessageKind>{MessageKind::Error});

  for (int i = 0; i < 100; ++i) add("e" + std::to_string(i));
  sink.messages.clear();
  EXPECT_EQ(build().status, BuildStatus::Refused);
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{"エラー　登録されているnuvファイルが99個を超えています。\n"
                                     "登録数は99個以下にしてください"});
  EXPECT_EQ(list.at(0).dataFiles, std::vector<std::string>{"stale"});
  EXPECT_FALSE(fs::exists(dir.file("D")));
}

TEST_F(BuildCommand, WritesTheDocumentInCodePage932WithCrLfAndReportsSuccess) {
  add("heart",
      "<data name=\"vol\"><file path=\"vol.raw\" /></data>\n"
      "<drawGroup name=\"Sur心臓\" caption=\"心臓\" ></drawGroup>\n");
  dir.write("src/heart/vol.raw", "volume");
  const BuildReport report = build();
  EXPECT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(report.documentPath, dir.file("D/exhibition.nuv"));
  EXPECT_EQ(test::withoutSummary(sink.messages),
            std::vector<std::string>{"展示用nuvファイルを作成しました"});
  EXPECT_EQ(sink.kinds, std::vector<MessageKind>{MessageKind::Success});
  EXPECT_EQ(list.at(0).dataFiles, std::vector<std::string>{dir.file("src/heart/vol.raw")});
  EXPECT_EQ(topGroupNames, std::vector<std::string>{"00_Sur心臓"});
  EXPECT_EQ(dir.read("D/00/vol.raw"), "volume");

  const std::string bytes = dir.read("D/exhibition.nuv");
  EXPECT_EQ(bytes.substr(0, 59),
            "<?xml version=\"1.0\" encoding=\"Shift_JIS\" standalone=\"yes\"?>");
  EXPECT_EQ(bytes.substr(59, 2), "\r\n");
  EXPECT_NE(bytes.find("name=\"00_Sur\x90S\x91\x9F\" caption=\"\x90S\x91\x9F\" >"),
            std::string::npos);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ASSERT_EQ(bytes[i - 1], '\r') << "bare LF at " << i;
    }
  }
  EXPECT_EQ(bytes.substr(bytes.size() - 15), "</NuvrelFile>\r\n");
}

TEST_F(BuildCommand, ADestinationWithoutTrailingSeparatorGetsOne) {
  add("a");
  EXPECT_EQ(build("show").documentPath, dir.file("show/exhibition.nuv"));
  EXPECT_TRUE(fs::exists(dir.file("show/exhibition.nuv")));
}

// What the check finds stops the create before the destination is touched: the
// message is the check's report (without warnings when the scene has a "Sur" group).
const std::string kSurGroup = "<drawGroup name=\"Sur\" ></drawGroup>\n";

TEST_F(BuildCommand, ASecondCreateIntoTheSamePackageIsRefusedAndKeepsItsDocument) {
  add("a", kSurGroup);
  ASSERT_EQ(build().status, BuildStatus::Written);
  const std::string first = dir.read("D/exhibition.nuv");
  add("b", kSurGroup);
  sink.messages.clear();
  EXPECT_EQ(build().status, BuildStatus::Stopped);
  EXPECT_EQ(sink.messages,
            std::vector<std::string>{std::string(kCheckErrorsHeading) + "\nエラー　" +
                                     kCheckEarlierPackage + ": " + dir.file("D")});
  EXPECT_EQ(dir.read("D/exhibition.nuv"), first);
  EXPECT_FALSE(fs::exists(dir.file("D/01")));
}

TEST_F(BuildCommand, AMissingButtonImageIsRefusedBeforeAnythingIsMade) {
  add("a", kSurGroup);
  fs::remove(dir.file("program/down.jpg"));
  EXPECT_EQ(build().status, BuildStatus::Stopped);
  EXPECT_EQ(sink.messages, std::vector<std::string>{std::string(kCheckErrorsHeading) +
                                                    "\nエラー　ボタン画像が見つかりません: " +
                                                    dir.file("program/down.jpg")});
  EXPECT_EQ(sink.kinds, std::vector<MessageKind>{MessageKind::Error});
  EXPECT_FALSE(fs::exists(dir.file("D/00")));
}

TEST_F(BuildCommand, AProblemInsideADataFolderIsRefusedBeforeAnythingIsMade) {
  add("a", "<data name=\"ct\"><file path=\"ct\\\" /></data>\n");
  dir.write("src/a/ct/1.dcm", "1");
  const test::UnreadableFile unreadable(toFsPath(dir.file("src/a/ct/2.dcm")));
  EXPECT_EQ(build().status, BuildStatus::Stopped);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].rfind(kCheckErrorsHeading, 0), 0u);
  EXPECT_NE(sink.messages[0].find(dir.file("src/a/ct/2.dcm")), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.file("D/00")));
}

// Pipes and device links are POSIX cases.
#ifndef _WIN32
TEST_F(BuildCommand, ScenesThatCannotBeReadWholeStopBeforeAnythingIsMade) {
  struct Case {
    std::string label;
    std::function<void()> spoil;  // turns entry a's scene into the bad input
    std::string line;             // the check's line for it, in the one message
  };
  const std::vector<Case> cases{
      {"a pipe",
       [&] {
         fs::remove(dir.file("src/a/a.nuv"));
         ASSERT_EQ(::mkfifo(dir.file("src/a/a.nuv").c_str(), 0600), 0);
       },
       "エラー　00 nuvファイルが通常のファイルではありません: " + dir.file("src/a/a.nuv")},
      {"a link to a device",
       [&] {
         fs::remove(dir.file("src/a/a.nuv"));
         fs::create_symlink("/dev/zero", dir.file("src/a/a.nuv"));
       },
       "エラー　00 nuvファイルが通常のファイルではありません: " + dir.file("src/a/a.nuv")},
      {"more than 100 data elements",
       [&] {
         std::string scene;
         for (int i = 0; i <= 100; ++i) {
           scene += "<data name=\"d" + std::to_string(i) + "\"><file path=\"f" + std::to_string(i) +
                    ".raw\" /></data>\r\n";
         }
         dir.write("src/a/a.nuv", scene);
       },
       "エラー　00 nuvファイルのデータ要素または描画グループが100個を超えています"
       "（作成できません）: " +
           dir.file("src/a/a.nuv")},
  };
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    list.clearEntries();
    sink.messages.clear();
    add("a");
    c.spoil();
    EXPECT_EQ(build().status, BuildStatus::Stopped) << c.label;
    ASSERT_EQ(sink.messages.size(), 1u) << c.label;
    EXPECT_NE((sink.messages[0] + "\n").find("\n" + c.line + "\n"), std::string::npos)
        << c.label << ": " << sink.messages[0];
    EXPECT_FALSE(fs::exists(dir.file("D/00"))) << c.label;
  }
}
#endif

// A picture whose size cannot be read is a warning of the check, never a failure of
// the create: it is written as 0, 0 and the package passes its verify.
TEST_F(BuildCommand, APictureThatIsNotJpegPngOrBmpIsWrittenAsZeroSize) {
  add("a", "", "t.gif");
  EXPECT_EQ(build().status, BuildStatus::Written);
  EXPECT_EQ(sink.kinds, std::vector<MessageKind>{MessageKind::Success});
  EXPECT_NE(dir.read("D/exhibition.nuv").find("size=\"0, 0\" ><file type=\"gif\""),
            std::string::npos);
}

TEST_F(BuildCommand, ADataValueLeavingTheSceneFolderIsWrittenAsItsCopyIsNamed) {
  add("a", "<data name=\"m\"><file path=\"..\\shared\\mesh.obj\" /></data>\n");
  dir.write("src/shared/mesh.obj", "mesh");
  ASSERT_EQ(build().status, BuildStatus::Written) << sink.messages.front();
  EXPECT_EQ(dir.read("D/00/mesh.obj"), "mesh");
  const std::string document = dir.read("D/exhibition.nuv");
  EXPECT_NE(document.find("path=\"00\\mesh.obj\""), std::string::npos);
  EXPECT_EQ(document.find(".."), std::string::npos);
}

// A data value with a "." or an empty component names the file it would without, and
// one that reaches a file another value names through ".." is that file: the create
// copies it there once, lists it there and passes its own verify, as the check said.
TEST_F(BuildCommand, DataValuesWithDotOrEmptyComponentsAreListedWhereTheirCopiesLie) {
  add("a",
      "<data name=\"d\"><file path=\".\\dot.raw\" /></data>\n"
      "<data name=\"e\"><file path=\"m\\\\e.raw\" /></data>\n"
      "<data name=\"f\"><file path=\"..\\a\\dot.raw\" /></data>\n"
      "<drawGroup name=\"Surface\" ></drawGroup>\n");
  dir.write("src/a/dot.raw", "dot");
  dir.write("src/a/m/e.raw", "e");
  CheckRequest check;
  check.entries = list.entries();
  check.destination = dir.file("D");
  check.programFolder = dir.file("program");
  EXPECT_TRUE(checkPackage(check).empty());
  ASSERT_EQ(build().status, BuildStatus::Written) << sink.messages.front();
  EXPECT_EQ(dir.read("D/00/dot.raw"), "dot");
  EXPECT_EQ(dir.read("D/00/m/e.raw"), "e");
  const std::string manifest = dir.read("D/exhibition.sha256");
  EXPECT_NE(manifest.find("  00/dot.raw\n"), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("  00/m/e.raw\n"), std::string::npos) << manifest;
  EXPECT_TRUE(
      verifyWholePackage(dir.file("D/exhibition.nuv"), ContentCheck::Full).problems.empty());
}

TEST_F(BuildCommand, AFailedFlushWritesNoDocument) {
  add("a");
  FileOperations operations = systemFileOperations();
  operations.flush = [](const std::string& folder) {
    return makeFailure(FailureCode::WriteFailed, folder, test::kInputOutputError);
  };
  CreateRequest request{list.entries(), dir.file("D"), dir.file("program"), &operations};
  fs::create_directories(dir.file("D"));
  EXPECT_EQ(createPackage(request, sink).status, BuildStatus::Stopped);
  EXPECT_EQ(sink.messages, (std::vector<std::string>{std::string(kFlushFailedMessage) + "\n" +
                                                         systemReason(test::kInputOutputError),
                                                     kCreateUndoneMessage}));
  EXPECT_TRUE(fs::is_empty(dir.file("D"))) << "the destination is as it was";
}

// The flush after the new package moved in fails: the message says it is in place, not
// that nothing was made, and the next run finds the work complete.
TEST_F(BuildCommand, AFailedFlushAfterTheSwapSaysTheNewPackageIsInPlace) {
  add("a");
  FileOperations operations = systemFileOperations();
  int flushes = 0;
  operations.flush = [&](const std::string& folder) -> Status {
    if (++flushes == 2)
      return makeFailure(FailureCode::WriteFailed, folder, test::kInputOutputError);
    return systemFileOperations().flush(folder);
  };
  CreateRequest request{list.entries(), dir.file("D"), dir.file("program"), &operations};
  fs::create_directories(dir.file("D"));
  EXPECT_EQ(createPackage(request, sink).status, BuildStatus::Stopped);
  ASSERT_EQ(flushes, 2);
  EXPECT_EQ(sink.messages.back(),
            std::string(kSwapUnflushedMessage) + "\n" + systemReason(test::kInputOutputError));
  EXPECT_TRUE(verifyPackage(dir.file("D/exhibition.nuv")).empty());
  EXPECT_EQ(recoverInterruptedWork(dir.file("D")), Recovery::Completed);
}

// The manifest and the copy record are written before the one flush of the create,
// which makes them durable with the copies: the document never moves into place ahead
// of them.
TEST_F(BuildCommand, TheFlushFollowsTheManifestAndTheRecord) {
  add("a");
  FileOperations operations = systemFileOperations();
  std::vector<std::string> flushes;
  operations.flush = [&](const std::string& folder) {
    std::string seen;
    for (const std::string name : {kManifestName, kCopyRecordName, kDocumentName}) {
      seen += fs::exists(folder + "/" + name) ? "+" : "-";
    }
    flushes.push_back(seen);
    return systemFileOperations().flush(folder);
  };
  CreateRequest request{list.entries(), dir.file("D"), dir.file("program"), &operations};
  fs::create_directories(dir.file("D"));
  ASSERT_EQ(createPackage(request, sink).status, BuildStatus::Written);
  ASSERT_FALSE(flushes.empty());
  EXPECT_EQ(flushes.front(), "+++") << "manifest, record and document before the first flush";
}

TEST_F(BuildCommand, AnInjectedCopyErrorStopsTheCreateWithTheSystemsReason) {
  struct Case {
    std::string label;
    std::string failingName;  // the copy of the file whose name ends so fails
    std::string start;
  };
  const std::vector<Case> cases{
      {"scene", "a.nuv", "nuvファイルのコピーに失敗しました"},
      {"thumbnail", "t.jpg", "サムネイルのコピーに失敗しました"},
      {"description", "d.png", "説明文のコピーに失敗しました"},
      {"button", "down.jpg", "down.jpgのコピーに失敗しました"},
  };
  for (const Case& c : cases) {
    for (const int error : {test::kInputOutputError, test::kDiskFullError}) {
      dir.clear();
      SetUp();
      list.clearEntries();
      sink.messages.clear();
      add("a");
      FileOperations operations = systemFileOperations();
      const auto real = operations.copy;
      operations.copy = [&](const std::string& from, const std::string& to,
                            const CopyProgress& progress, const CopyContent& content) -> Status {
        if (to.size() >= c.failingName.size() &&
            to.compare(to.size() - c.failingName.size(), std::string::npos, c.failingName) == 0) {
          return makeFailure(FailureCode::WriteFailed, to, error);
        }
        return real(from, to, progress, content);
      };
      fs::create_directories(dir.file("D"));
      const CreateRequest request{list.entries(), dir.file("D"), dir.file("program"), &operations};
      EXPECT_EQ(createPackage(request, sink).status, BuildStatus::Stopped) << c.label;
      EXPECT_EQ(sink.messages, (std::vector<std::string>{c.start + "\n" + systemReason(error),
                                                         kCreateUndoneMessage}))
          << c.label;
      EXPECT_TRUE(fs::is_empty(dir.file("D"))) << c.label << ": the destination is as it was";
    }
  }
}

TEST_F(BuildCommand, AReferenceThatClimbsOutOfTheEntryFolderIsWrittenAsItsCopyIsNamed) {
  // The copy lands in the entry folder as shared.raw, so the document names it there,
  // and the create's own verification finds nothing outside the package.
  add("a", "<data name=\"v\"><file path=\"..\\shared.raw\" /></data>\n");
  dir.write("src/shared.raw", "volume");
  EXPECT_EQ(build().status, BuildStatus::Written);
  EXPECT_EQ(test::withoutSummary(sink.messages), std::vector<std::string>{kCreatedMessage});
  EXPECT_EQ(dir.read("D/00/shared.raw"), "volume");
  const std::string document = dir.read("D/exhibition.nuv");
  EXPECT_NE(document.find("path=\"00\\shared.raw\""), std::string::npos);
  EXPECT_EQ(document.find(".."), std::string::npos);
}

TEST_F(BuildCommand, AnUnreadablePictureIsWrittenAsZeroSize) {
  add("a");
  dir.write("src/a/d.png", "damaged");
  EXPECT_EQ(build().status, BuildStatus::Written);
  EXPECT_EQ(sink.kinds, std::vector<MessageKind>{MessageKind::Success});
  EXPECT_NE(dir.read("D/exhibition.nuv").find("size=\"0, 0\" ><file type=\"png\""),
            std::string::npos);
}

TEST_F(BuildCommand, AnUnencodableFileNameIsRefusedAndKeepsTheEarlierDocument) {
  add("a", "", "t\xF0\x9F\x98\x80.jpg");
  dir.write("D/exhibition.nuv", "earlier document");
  EXPECT_EQ(build().status, BuildStatus::Stopped);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_NE(sink.messages[0].find("U+1F600"), std::string::npos) << sink.messages[0];
  EXPECT_EQ(dir.read("D/exhibition.nuv"), "earlier document");
}

TEST_F(BuildCommand, NinetyNineEntriesGiveSeventeenMenuPages) {
  for (int i = 0; i < 99; ++i) add("e" + std::to_string(i));
  const BuildReport report = build();
  ASSERT_EQ(report.status, BuildStatus::Written) << sink.messages.front();
  EXPECT_EQ(report.menuPageCount, 17u);
  const std::string bytes = dir.read("D/exhibition.nuv");
  EXPECT_NE(bytes.find("<data name=\"me98\" type=\"image\" format=\"RGB\" size=\"238, 95\" ><file "
                       "type=\"jpg\" path=\"98\\t.jpg\" /></data>\r\n\r\n<data name=\"ex00\""),
            std::string::npos);
  EXPECT_NE(bytes.find("<drawGroup name=\"menu16\""), std::string::npos);
  EXPECT_EQ(bytes.find("<drawGroup name=\"menu17\""), std::string::npos);
  EXPECT_TRUE(fs::exists(dir.file("D/98/e98.nuv")));
}

TEST(EntryCount, AcceptsOneToNinetyNineEntries) {
  struct Case {
    std::size_t count;
    const char* message;  // null when accepted
  };
  const Case cases[] = {{0, kNoEntriesMessage},
                        {1, nullptr},
                        {99, nullptr},
                        {100, kTooManyEntriesMessage},
                        {1000, kTooManyEntriesMessage}};
  for (const Case& c : cases) {
    const auto problem = entryCountProblem(c.count);
    ASSERT_EQ(problem.has_value(), c.message != nullptr) << c.count;
    if (problem) {
      EXPECT_EQ(problem->text, c.message);
      EXPECT_EQ(problem->kind, MessageKind::Error);
    }
  }
}

TEST_F(BuildCommand, CreatePackageReportsWhatItDerivedAndLeavesTheEntriesAlone) {
  add("heart",
      "<data name=\"vol\"><file path=\"sub\\vol.raw\" /></data>\n"
      "<drawGroup name=\"Sur心臓\" caption=\"心臓\" ></drawGroup>\n"
      "<drawGroup name=\"Sur弁\" ></drawGroup>\n");
  dir.write("src/heart/sub/vol.raw", "volume");
  fs::create_directories(dir.file("D"));
  const CreateRequest request{list.entries(), dir.file("D"), dir.file("program")};
  const BuildReport report = createPackage(request, sink);
  EXPECT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(report.dataFiles,
            std::vector<std::vector<std::string>>{{dir.file("src/heart/sub/vol.raw")}});
  EXPECT_EQ(report.topGroupNames, (std::vector<std::string>{"00_Sur心臓", "00_Sur弁"}));
  EXPECT_EQ(list.at(0).dataFiles, std::vector<std::string>{"stale"}) << "the caller's list";
  EXPECT_EQ(dir.read("D/00/sub/vol.raw"), "volume");
}

// A create reads each scene twice: once to plan, once as the document is written
// (the plan keeps no scene text), whether it plans itself or is given the check's plan.
TEST_F(BuildCommand, CreatePackageReadsEachSceneTwice) {
  add("a",
      "<data name=\"v\"><file path=\"v.raw\" /></data>\n<drawGroup name=\"Sur\" ></drawGroup>\n");
  add("b", "<drawGroup name=\"Surface\" ></drawGroup>\n");
  add("c");
  dir.write("src/a/v.raw", "volume");
  for (const bool checkedFirst : {false, true}) {
    SCOPED_TRACE(checkedFirst ? "with the check's plan" : "planning itself");
    const std::string destination = checkedFirst ? "E" : "D";
    fs::create_directories(dir.file(destination));
    CreateRequest request{list.entries(), dir.file(destination), dir.file("program")};
    std::map<std::string, int> reads;
    request.readScene = [&](const std::string& path) {
      ++reads[path];
      return readSceneLines(path);
    };
    if (checkedFirst) {
      CheckRequest check;
      check.entries = request.entries;
      check.destination = request.destination;
      check.programFolder = request.programFolder;
      check.readScene = request.readScene;
      request.plan = std::make_shared<const PackagePlan>(planPackage(check));
    }
    const BuildReport report = createPackage(request, sink);
    EXPECT_EQ(report.status, BuildStatus::Written);
    EXPECT_EQ(reads, (std::map<std::string, int>{{dir.file("src/a/a.nuv"), 2},
                                                 {dir.file("src/b/b.nuv"), 2},
                                                 {dir.file("src/c/c.nuv"), 2}}));
    const std::string document = dir.read(destination + "/exhibition.nuv");
    EXPECT_NE(document.find("00_v"), std::string::npos);
    EXPECT_NE(document.find("01_Surface"), std::string::npos);
  }
}

// The document takes each scene's text from its copy's bytes when they are hashed, and
// reads the scene again when they are not: both give the same document, whatever pieces
// the copy cut a double-byte character or a CR LF into.
TEST_F(BuildCommand, ASceneTakenFromItsCopyGivesTheDocumentOfOneReadAgain) {
  for (const std::string name : {"a", "b", "c"}) {
    std::string scene = "<drawGroup name=\"Sur\" >\n";
    for (int i = 0; i < 36000; ++i) {
      scene += "<polygon comment=\"" + name + std::string(static_cast<std::size_t>(i % 7), 'x') +
               "部品" + std::to_string(i) + "\" />\n";
    }
    add(name, scene + "</drawGroup>\n");
  }
  ASSERT_GT(fs::file_size(dir.file("src/a/a.nuv")), std::uintmax_t{1} << 20);
  std::string documents[2];
  for (const bool hashed : {true, false}) {
    CreateRequest request{list.entries(), dir.file(hashed ? "D" : "E"), dir.file("program")};
    request.hashContent = hashed;
    ASSERT_EQ(createPackage(request, sink).status, BuildStatus::Written);
    documents[hashed ? 0 : 1] = dir.read(std::string(hashed ? "D" : "E") + "/exhibition.nuv");
  }
  EXPECT_GT(documents[0].size(), std::size_t{3} << 20);
  EXPECT_TRUE(documents[0] == documents[1]);
#ifndef _WIN32
  // A document of several hashing chunks, hashed beside its writing, has the hash
  // another tool finds.
  const std::string command =
      "cd '" + dir.file("D") + "' && sha256sum --quiet --strict -c exhibition.sha256";
  EXPECT_EQ(std::system(command.c_str()), 0);
#endif
}

// The document merges each scene again as it is written: a scene that reads back
// otherwise than planned stops the create before any document is in place.
TEST_F(BuildCommand, ASceneThatChangedSinceThePlanStopsTheDocument) {
  struct Case {
    const char* what;
    std::function<Result<std::vector<std::string>>()> secondRead;
  };
  const std::vector<Case> cases = {
      {"no longer readable",
       [] { return Result<std::vector<std::string>>(makeFailure(FailureCode::ReadFailed)); }},
      {"another size",
       [] {
         return Result<std::vector<std::string>>(std::vector<std::string>{
             "<drawGroup name=\"Sur\" ></drawGroup>", "<drawGroup name=\"x\" ></drawGroup>"});
       }},
      {"another top group of the same size",
       [] {
         return Result<std::vector<std::string>>(
             std::vector<std::string>{"<drawGroup name=\"Rus\" ></drawGroup>"});
       }},
  };
  add("a", "<drawGroup name=\"Sur\" ></drawGroup>\n");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string destination = dir.file(std::string("D-") + c.what);
    CreateRequest request{list.entries(), destination, dir.file("program")};
    int reads = 0;
    request.readScene = [&](const std::string& path) {
      return ++reads == 1 ? readSceneLines(path) : c.secondRead();
    };
    sink.messages.clear();
    const BuildReport report = createPackage(request, sink);
    EXPECT_EQ(report.status, BuildStatus::Stopped);
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{kSourceChangedMessage + dir.file("src/a/a.nuv"),
                                        kCreateUndoneMessage}));
    EXPECT_FALSE(fs::exists(destination));
  }
}

TEST_F(BuildCommand, CreatePackageRefusesABadCountWithoutTouchingTheDestination) {
  const BuildReport report = createPackage({{}, dir.file("D"), dir.file("program")}, sink);
  EXPECT_EQ(report.status, BuildStatus::Refused);
  EXPECT_EQ(sink.messages, std::vector<std::string>{kNoEntriesMessage});
  EXPECT_FALSE(fs::exists(dir.file("D")));
}

// The report tells a cancel from a failure, so that its caller can say which it was.
TEST_F(BuildCommand, AStoppedCreateSaysWhetherACancelOrAFailureStoppedIt) {
  struct CancelAfter : BuildProgress {
    explicit CancelAfter(std::uint64_t files) : files_(files) {}
    void advanced(std::uint64_t, std::uint64_t filesDone) override { done_ = filesDone; }
    bool cancelRequested() override { return done_ >= files_ || flushed_; }
    std::uint64_t files_, done_ = 0;
    bool flushed_ = false;
  };
  struct Case {
    const char* label;
    std::uint64_t cancelAfterFiles;  // huge: never
    bool failCopies;
    bool cancelled;
    bool cancelAtFlush = false;  // pressed while the written files are flushed
  };
  const Case cases[] = {
      {"cancel before the first copy", 0, false, true},
      {"cancel after the scene", 1, false, true},
      {"a copy failing", ~0ull, true, false},
      {"cancel once the document is written", ~0ull, false, true, true},
  };
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    add("a");
    sink.messages.clear();
    FileOperations operations = systemFileOperations();
    if (c.failCopies) {
      operations.copy = [](const std::string&, const std::string& to, const CopyProgress&,
                           const CopyContent&) {
        return Status(makeFailure(FailureCode::WriteFailed, to, test::kInputOutputError));
      };
    }
    CancelAfter progress(c.cancelAfterFiles);
    if (c.cancelAtFlush) {
      operations.flush = [&progress](const std::string& folder) {
        progress.flushed_ = true;
        return systemFileOperations().flush(folder);
      };
    }
    CreateRequest request{list.entries(), dir.file("D"), dir.file("program"), &operations};
    const BuildReport report = createPackage(request, sink, &progress);
    EXPECT_EQ(report.status, BuildStatus::Stopped) << c.label;
    EXPECT_EQ(report.cancelled, c.cancelled) << c.label;
    // The failure's own line, then what the create undid; a cancel says only the latter.
    EXPECT_EQ(sink.messages.size(), c.cancelled ? 1u : 2u) << c.label;
    EXPECT_EQ(sink.messages.back(),
              c.cancelled ? kCreateCancelledUndoneMessage : kCreateUndoneMessage)
        << c.label;
    EXPECT_FALSE(fs::exists(dir.file("D"))) << c.label;
  }
}

// The progress hears of the finishing work once, after every file is copied; a run
// stopped during its copies never gets there.
TEST_F(BuildCommand, TheProgressIsToldWhenOnlyTheFinishingWorkRemains) {
  struct Recorder : BuildProgress {
    void started(std::uint64_t, std::uint64_t files) override { total = files; }
    void advanced(std::uint64_t, std::uint64_t filesDone) override {
      events += filesDone == total ? "all " : "";
      done = filesDone;
    }
    void finishing() override { events += done == total ? "finishing " : "early "; }
    bool cancelRequested() override { return cancelAt != 0 && done >= cancelAt; }
    std::uint64_t total = 0, done = 0, cancelAt = 0;
    std::string events;
  };
  for (const std::uint64_t cancelAt : {0, 1}) {
    dir.clear();
    SetUp();
    add("a");
    Recorder progress;
    progress.cancelAt = cancelAt;
    CreateRequest request{list.entries(), dir.file("D"), dir.file("program")};
    const BuildReport report = createPackage(request, sink, &progress);
    EXPECT_EQ(report.status, cancelAt == 0 ? BuildStatus::Written : BuildStatus::Stopped);
    EXPECT_EQ(progress.events.find("early"), std::string::npos) << progress.events;
    EXPECT_EQ(progress.events.find("finishing") != std::string::npos, cancelAt == 0)
        << progress.events;
  }
}

// An exception on the copier's side, before a single scene was copied, ends the create
// with that exception: the document pass, waiting for the first scene, is let go.
TEST_F(BuildCommand, AnExceptionBeforeTheCopiesDoesNotLeaveTheDocumentPassWaiting) {
  add("a");
  struct Throwing : BuildProgress {
    void started(std::uint64_t, std::uint64_t) override {
      // Time for the document pass to come to the first scene's text.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      throw std::runtime_error("thrown");
    }
  } progress;
  CreateRequest request{list.entries(), dir.file("D"), dir.file("program")};
  EXPECT_THROW(createPackage(request, sink, &progress), std::runtime_error);
}

}  // namespace
}  // namespace vesk
