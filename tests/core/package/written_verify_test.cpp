#include "package/written_verify.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <functional>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/file_operations.h"
#include "base/path_terms.h"
#include "format/copy_record.h"
#include "format/document_outline.h"
#include "messages/message_template.h"
#include "messages/messages.h"
#include "package/build_command.h"
#include "package/package_layout.h"
#include "package/scene_files.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

// A package of one entry whose scene names the data file v.raw, made in D/ by the
// create itself (no working folder, so that the paths of its messages are D's).
class WrittenVerify : public ::testing::Test {
 public:
  static constexpr const char* kScene =
      "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n<drawGroup name=\"Sur\" "
      "></drawGroup>\r\n";

  void SetUp() override {
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "program/up.jpg");
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/down.jpg", "program/down.jpg");
    dir.write("src/a/a.nuv", kScene);
    dir.write("src/a/v.raw", "volume data");
    dir.write("src/a/w.raw", "other data");
    dir.copyFrom(std::string(VESK_DATA_DIR) + "/up.jpg", "src/a/t.jpg");
    dir.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png", "src/a/d.png");
    list.workingEntry() = {
        dir.file("src/a/a.nuv"), dir.file("src/a/t.jpg"), dir.file("src/a/d.png"), {}};
    list.appendWorkingEntry();
  }

  CreateRequest request() const {
    CreateRequest made{list.entries(), dir.file("D"), dir.file("program")};
    return made;
  }

  std::string inPackage(const std::string& relative) const { return dir.file("D/" + relative); }

  // What the create knew when it verified a package written without damage: the
  // document's outline and size as written, and the copy record of its files.
  WrittenDocument writtenDocument() const {
    WrittenDocument known;
    known.path = inPackage(kDocumentName);
    std::string text = decodeCp932(dir.read("D/exhibition.nuv"));
    known.size = fs::file_size(known.path);
    std::string lf;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lf += text[i];
    }
    known.outline = outlineDocument(lf);
    return known;
  }

  std::vector<RecordedFile> recordedFiles() const {
    return readCopyRecordText(dir.read(std::string("D/") + kCopyRecordName)).value();
  }

  vesk::test::TempDir dir;
  vesk::test::RecordingSink sink;
  EntryList list;
};

std::string sizeLine(const std::string& path, std::uint64_t expected, std::uint64_t actual) {
  return fillTemplate(
      kVerifySizeWrong,
      {{"expected", std::to_string(expected)}, {"actual", std::to_string(actual)}, {"path", path}});
}

bool mentions(const std::vector<std::string>& messages, const std::string& line) {
  for (const auto& message : messages) {
    if (message.find(line) != std::string::npos) return true;
  }
  return false;
}

// The files are damaged after they were copied, when the create flushes them, and
// before its own verify: the create says what is wrong and never reports success,
// though it reads none of them back whole.
TEST_F(WrittenVerify, DamageBetweenCopyingAndTheCreatesVerifyIsCaught) {
  struct Case {
    const char* what;
    std::function<void(const std::string& package)> damage;
    std::function<std::string(const WrittenVerify&)> expected;  // a line of the message
    bool needsRecord;  // found only from the sizes taken while copying
  };
  const std::vector<Case> cases = {
      {"a data file cut short",
       [](const std::string& package) { fs::resize_file(package + "00/v.raw", 3); },
       [](const WrittenVerify& t) { return sizeLine(t.inPackage("00/v.raw"), 11, 3); }, true},
      {"a data file grown",
       [](const std::string& package) { fs::resize_file(package + "00/v.raw", 20); },
       [](const WrittenVerify& t) { return sizeLine(t.inPackage("00/v.raw"), 11, 20); }, true},
      {"the scene removed", [](const std::string& package) { fs::remove(package + "00/a.nuv"); },
       [](const WrittenVerify&) {
         return std::string(kVerifySceneMissing) + "00" + kPathSeparator;
       },
       false},
      {"a file added to the entry folder",
       [](const std::string& package) {
         fs::copy_file(package + "00/v.raw", package + "00/extra.raw");
       },
       [](const WrittenVerify& t) {
         return fillTemplate(kVerifyUnlisted, {{"path", t.inPackage("00/extra.raw")}});
       },
       true},
      {"a button removed", [](const std::string& package) { fs::remove(package + "down.jpg"); },
       [](const WrittenVerify&) { return std::string(kVerifyButtonMissing) + "down.jpg"; }, false},
#ifndef _WIN32
      {"a data file made a link",
       [](const std::string& package) {
         fs::remove(package + "00/v.raw");
         fs::create_symlink("/etc/hostname", package + "00/v.raw");
       },
       [](const WrittenVerify& t) {
         return fillTemplate(kVerifyIrregularFile, {{"path", t.inPackage("00/v.raw")}});
       },
       false},
#endif
  };
  for (const bool hashed : {true, false}) {
    for (const Case& c : cases) {
      if (c.needsRecord && !hashed) continue;
      SCOPED_TRACE(std::string(c.what) + (hashed ? ", hashed" : ", not hashed"));
      dir.clear();
      SetUp();
      sink.messages.clear();
      FileOperations operations = systemFileOperations();
      const auto realFlush = operations.flush;
      bool damaged = false;
      operations.flush = [&](const std::string& folder) {
        if (!damaged) c.damage(dir.file("D") + "/");
        damaged = true;
        return realFlush(folder);
      };
      CreateRequest run = request();
      run.operations = &operations;
      run.hashContent = hashed;
      const BuildReport report = buildPackageInPlace(run, sink);
      EXPECT_EQ(report.status, BuildStatus::WrittenWithProblems);
      ASSERT_EQ(sink.messages.size(), 1u);
      EXPECT_EQ(sink.messages.front().rfind(kVerifyFailedMessage, 0), 0u) << sink.messages.front();
      EXPECT_TRUE(mentions(sink.messages, c.expected(*this))) << sink.messages.front();
    }
  }
}

// Members added or changed after the write are found from one walk of the package.
TEST_F(WrittenVerify, FindsMembersAddedOrReplacedAfterTheWrite) {
  struct Case {
    const char* what;
    std::function<void()> damage;
    std::function<void()> undo;
    PackageFault fault;
    std::string path;  // in the package, named by the problem
  };
  std::vector<Case> cases = {
      {"an entry folder added", [&] { fs::create_directories(inPackage("07")); },
       [&] { fs::remove_all(inPackage("07")); }, PackageFault::ContentUnlisted, "07"},
      {"a file in a new folder of the entry folder", [&] { dir.write("D/00/sub/x.raw", "x"); },
       [&] { fs::remove_all(inPackage("00/sub")); }, PackageFault::ContentUnlisted, "00/sub/x.raw"},
      {"the entry folder made a file",
       [&] {
         fs::rename(inPackage("00"), dir.file("away"));
         dir.write("D/00", "x");
       },
       [&] {
         fs::remove(inPackage("00"));
         fs::rename(dir.file("away"), inPackage("00"));
       },
       PackageFault::ContentMissing, "00/v.raw"},
#ifndef _WIN32
      {"the entry folder made a link",
       [&] {
         fs::rename(inPackage("00"), dir.file("away"));
         fs::create_directory_symlink(dir.file("away"), inPackage("00"));
       },
       [&] {
         fs::remove(inPackage("00"));
         fs::rename(dir.file("away"), inPackage("00"));
       },
       PackageFault::ContentIrregular, "00"},
      {"a FIFO in the entry folder",
       [&] { ASSERT_EQ(::mkfifo(inPackage("00/pipe").c_str(), 0600), 0); },
       [&] { fs::remove(inPackage("00/pipe")); }, PackageFault::ContentIrregular, "00/pipe"},
#endif
  };
  ASSERT_EQ(buildPackageInPlace(request(), sink).status, BuildStatus::Written);
  const WrittenDocument known = writtenDocument();
  const std::vector<RecordedFile> files = recordedFiles();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.damage();
    const auto problems = verifyWrittenPackage(known, &files);
    bool found = false;
    fs::path named = fs::path(inPackage(c.path)).make_preferred();
    for (const auto& problem : problems) {
      found = found ||
              (problem.fault == c.fault && problem.text.find(named.string()) != std::string::npos);
    }
    EXPECT_TRUE(found) << (problems.empty() ? "no problem" : problems.front().text);
    c.undo();
    ASSERT_TRUE(verifyWrittenPackage(known, &files).empty()) << "restored";
  }
}

// A create that cannot hash what it writes fails, whichever file the hasher fails on
// (a data file or the document), and leaves the destination as it was.
TEST_F(WrittenVerify, ACreateThatCannotHashFails) {
  // A sound create makes one hasher a file, the document's first.
  FileOperations counting = systemFileOperations();
  std::atomic<int> hashers{0};
  counting.hasher = [&] {
    ++hashers;
    return Sha256();
  };
  CreateRequest sound = request();
  sound.operations = &counting;
  ASSERT_EQ(createPackage(sound, sink).status, BuildStatus::Written);
  const int total = hashers.load();
  ASSERT_GE(total, 5);
  for (const int failing : {1, total - 1, total, 0}) {  // 0: every hasher fails
    SCOPED_TRACE(failing);
    dir.clear();
    SetUp();
    sink.messages.clear();
    FileOperations operations = systemFileOperations();
    std::atomic<int> made{0};
    operations.hasher = [&] {
      return ++made == failing || failing == 0 ? Sha256::unavailable() : Sha256();
    };
    CreateRequest run = request();
    run.operations = &operations;
    const BuildReport report = createPackage(run, sink);
    EXPECT_NE(report.status, BuildStatus::Written);
    EXPECT_NE(report.status, BuildStatus::WrittenWithProblems);
    EXPECT_TRUE(mentions(sink.messages, kReasonHashUnavailable));
    EXPECT_FALSE(fs::exists(inPackage(kDocumentName)));
    EXPECT_FALSE(fs::exists(inPackage(kManifestName)));
  }
}

// A scene that changes between the plan and the document's write, keeping the merged
// size and top group, is verified as written: the data file it names now is not in
// the package.
TEST_F(WrittenVerify, TheDocumentIsVerifiedAsWrittenNotAsPlanned) {
  CreateRequest changed = request();
  int reads = 0;
  changed.readScene = [&](const std::string& path) {
    auto lines = readSceneLines(path);
    if (++reads > 1) {
      for (auto& line : lines) {
        if (const auto at = line.find("v.raw"); at != std::string::npos) line[at] = 'w';
      }
    }
    return lines;
  };
  const BuildReport report = buildPackageInPlace(changed, sink);
  EXPECT_EQ(report.status, BuildStatus::WrittenWithProblems);
  EXPECT_TRUE(mentions(sink.messages, std::string(kVerifyPathMissing) + "00\\w.raw"))
      << (sink.messages.empty() ? "" : sink.messages.front());
}

// After the document and the manifest are written: what the create's verify finds
// from what it knows, on disk as it is, without reading the document.
TEST_F(WrittenVerify, FindsTheDocumentAndTheListsChangedSinceTheyWereWritten) {
  ASSERT_EQ(buildPackageInPlace(request(), sink).status, BuildStatus::Written);
  const WrittenDocument known = writtenDocument();
  const std::vector<RecordedFile> files = recordedFiles();
  EXPECT_EQ(verifyWrittenPackage(known, &files).size(), 0u) << "as written";

  const std::string manifest = dir.read(std::string("D/") + kManifestName);
  const std::string record = dir.read(std::string("D/") + kCopyRecordName);
  const std::string document = dir.read("D/exhibition.nuv");
  struct Case {
    const char* what;
    std::function<void()> damage;
    PackageFault fault;
    bool withFiles;
  };
  const std::vector<Case> cases = {
      {"the document cut short",
       [&] { dir.write("D/exhibition.nuv", document.substr(0, document.size() - 1)); },
       PackageFault::ContentChanged, true},
      {"the document cut short, nothing hashed",
       [&] { dir.write("D/exhibition.nuv", document.substr(0, document.size() - 1)); },
       PackageFault::ContentChanged, false},
      {"the document removed", [&] { fs::remove(known.path); }, PackageFault::DocumentUnreadable,
       false},
      {"the document removed, hashed", [&] { fs::remove(known.path); },
       PackageFault::ContentMissing, true},
      {"a hash of the manifest changed",
       [&] {
         std::string changed = manifest;
         changed[0] = changed[0] == '0' ? '1' : '0';
         dir.write(std::string("D/") + kManifestName, changed);
       },
       PackageFault::ContentChanged, true},
      {"the copy record removed",
       [&] { fs::remove(dir.file(std::string("D/") + kCopyRecordName)); },
       PackageFault::ContentMissing, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.damage();
    const auto problems = verifyWrittenPackage(known, c.withFiles ? &files : nullptr);
    ASSERT_FALSE(problems.empty());
    bool found = false;
    for (const auto& problem : problems) found = found || problem.fault == c.fault;
    EXPECT_TRUE(found) << problems.front().text;
    dir.write("D/exhibition.nuv", document);
    dir.write(std::string("D/") + kManifestName, manifest);
    dir.write(std::string("D/") + kCopyRecordName, record);
    ASSERT_TRUE(verifyWrittenPackage(known, &files).empty()) << "restored";
  }
}

}  // namespace
}  // namespace vesk
