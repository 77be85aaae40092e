#include "editor/drop_routing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_lock.h"
#include "base/path_terms.h"
#include "editor/dialog_controller.h"
#include "messages/messages.h"
#include "support/fake_view.h"
#include "support/recording_runner.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::FakeView;
using test::StrictRecordingSink;
using test::TempDir;

const char* const kScene = "<NuvrelFile version=\"1.35\">\n</NuvrelFile>\n";

struct Dialog {
  Dialog() : controller(view, sink, [](const std::string&) { return std::string(); }) {
    controller.initialise();
  }
  std::vector<std::string> fields() const {
    const ExhibitionEntry& w = controller.entryList().workingEntry();
    return {w.scenePath, w.thumbnailPath, w.descriptionPath};
  }
  FakeView view;
  StrictRecordingSink sink;
  DialogController controller;
};

TEST(FileDrop, SceneLandscapeAndPortraitFillTheirFields) {
  TempDir dir;
  const std::string scene = dir.write("a/s.nuv", kScene);
  const std::string thumb = dir.picture("a/t.png", "landscape.png");
  const std::string desc = dir.picture("a/d.jpg", "portrait.jpg");
  Dialog d;
  d.controller.onFilesDropped({scene, thumb, desc});
  EXPECT_EQ(d.fields(), std::vector<std::string>({scene, thumb, desc}));
  EXPECT_EQ(d.view.fields, d.fields());
  EXPECT_EQ(d.view.fieldRedraws, 3) << "the fields are redrawn after every path";
  EXPECT_EQ(d.controller.browseStartPath(), scene);
  EXPECT_EQ(d.view.listRedraws, 0);
  EXPECT_FALSE(d.view.count.has_value());
  EXPECT_EQ(d.controller.entryList().currentIndex(), -1);
  EXPECT_TRUE(d.sink.messages.empty());
}

TEST(FileDrop, EachFileGoesToTheFieldOfItsRole) {
  TempDir dir;
  struct Case {
    const char* name;
    const char* sample;  // null: a text file
    int field;           // 0 scene, 1 thumbnail, 2 description, -1 none
    bool startsChooserThere;
  };
  const Case cases[] = {
      {"s.nuv", nullptr, 0, true},
      {"SCENE.NUV", nullptr, 0, true},
      {"Exhibition.nuv", nullptr, 0, true},
      {"t.png", "landscape.png", 1, false},
      {"SHOT.JPG", "landscape.png", 1, false},
      {"sq.bmp", "square.bmp", 1, false},
      {"d.jpeg", "portrait.jpg", 2, false},
      {"D.PNG", "portrait.jpg", 2, false},
      {"notes.txt", nullptr, -1, false},
      {"noextension", nullptr, -1, false},
      {"broken.png", nullptr, -1, false},  // a picture whose size cannot be read
  };
  for (const Case& c : cases) {
    const std::string path =
        c.sample ? dir.picture(c.name, c.sample) : dir.write(c.name, "not a picture\n");
    Dialog d;
    const std::string startBefore = d.controller.browseStartPath();
    d.controller.onFilesDropped({path});
    std::vector<std::string> expected{"", "", ""};
    if (c.field >= 0) expected[c.field] = path;
    EXPECT_EQ(d.fields(), expected) << c.name;
    EXPECT_EQ(d.view.fields, expected) << c.name;
    EXPECT_EQ(d.view.fieldRedraws, 1) << c.name << ": redrawn even when nothing changed";
    EXPECT_EQ(d.controller.browseStartPath(), c.startsChooserThere ? path : startBefore) << c.name;
    EXPECT_TRUE(d.sink.questions.empty()) << c.name;
  }
}

// A folder fills no field and reads no package back, whatever its name ends with; a
// folder named like the document beside a package's folder 00 included.
TEST(FileDrop, FoldersArePassedOverWhateverTheirNames) {
  TempDir dir;
  dir.write("pkg/00/s.nuv", kScene);
  Dialog d;
  d.controller.entryList().workingEntry() = {"/x/s.nuv", "/x/t.png", "/x/d.png", {}};
  for (const char* name : {"x.nuv", "pic.png", "exhibition.nuv"}) {
    std::filesystem::create_directories(dir.file(std::string("pkg/") + name));
    d.controller.onFilesDropped({dir.file(std::string("pkg/") + name)});
  }
  EXPECT_EQ(d.fields(), std::vector<std::string>({"/x/s.nuv", "/x/t.png", "/x/d.png"}));
  EXPECT_TRUE(d.sink.questions.empty());
  EXPECT_TRUE(d.sink.messages.empty());
}

TEST(FileDrop, TheLastFileOfARoleWinsAndOtherFieldsStay) {
  TempDir dir;
  const std::string first = dir.picture("1.png", "landscape.png");
  const std::string second = dir.picture("2.jpg", "landscape.png");
  const std::string text = dir.write("n.txt", "text");
  Dialog d;
  d.controller.entryList().workingEntry() = {"/x/s.nuv", "/x/t.png", "/x/d.png", {}};
  d.controller.onFilesDropped({first, second, text});
  EXPECT_EQ(d.fields(), std::vector<std::string>({"/x/s.nuv", second, "/x/d.png"}));
}

// An earlier package: numbered folders each with a scene, a landscape thumbnail and a
// portrait description, and the combined document at the top.
struct Package {
  Package(const TempDir& dir, const std::string& name, int folders) {
    document = dir.write(name + "/exhibition.nuv", kScene);
    for (int f = 0; f < folders; ++f) {
      const std::string nn = (f < 10 ? "0" : "") + std::to_string(f);
      ExhibitionEntry e;
      e.scenePath = dir.write(name + "/" + nn + "/" + name + nn + ".nuv", kScene);
      e.thumbnailPath = dir.picture(name + "/" + nn + "/t.png", "landscape.png");
      e.descriptionPath = dir.picture(name + "/" + nn + "/d.jpg", "portrait.jpg");
      entries.push_back(e);
    }
  }
  std::vector<std::string> scenePaths() const {
    std::vector<std::string> paths;
    for (const auto& e : entries) paths.push_back(e.scenePath);
    return paths;
  }
  std::string document;
  std::vector<ExhibitionEntry> entries;
};

TEST(FileDrop, APackageDocumentAnsweredYesReplacesTheListAndShowsEntry00) {
  TempDir dir;
  const Package package(dir, "pkg", 3);
  const std::string scene = dir.write("a.nuv", kScene);
  const std::string picture = dir.picture("b.jpg", "portrait.jpg");
  Dialog d;
  d.controller.entryList().workingEntry() = {"/old/o.nuv", "/old/t.png", "/old/d.png", {}};
  d.controller.onAdd();
  d.sink.answers = {true};
  d.controller.onFilesDropped({scene, package.document, picture});

  EXPECT_EQ(d.sink.questions,
            std::vector<std::string>{
                "以前作成された展示用nuvファイルが入力されました。\n読み込みますか？"});
  EXPECT_EQ(d.sink.questionDefaults, std::vector<DefaultAnswer>{DefaultAnswer::No})
      << "Yes would discard the operator's list";
  EXPECT_EQ(d.controller.browseStartPath(), package.document);
  EXPECT_EQ(d.controller.entryList().entries(), package.entries);
  EXPECT_EQ(d.view.lines, package.scenePaths());
  EXPECT_EQ(d.view.selected, 0);
  EXPECT_EQ(d.view.count, "3");
  EXPECT_EQ(d.controller.entryList().currentIndex(), 0);
  EXPECT_FALSE(d.controller.arrowKeyPressed());
  // b.jpg, dropped after the package, replaces the description of the working entry
  // only; entry 00 in the list keeps its own.
  const ExhibitionEntry& first = package.entries[0];
  EXPECT_EQ(d.fields(), std::vector<std::string>({first.scenePath, first.thumbnailPath, picture}));
  EXPECT_EQ(d.view.fields, d.fields());
  EXPECT_EQ(d.controller.entryList().at(0), first);
}

TEST(FileDrop, APackageDocumentAnsweredNoEndsTheDropAndKeepsTheList) {
  TempDir dir;
  const Package package(dir, "pkg", 2);
  const std::string scene = dir.write("a.nuv", kScene);
  const std::string picture = dir.picture("b.jpg", "landscape.png");
  Dialog d;
  d.controller.entryList().workingEntry() = {"/old/o.nuv", "/old/t.png", "/old/d.png", {}};
  d.controller.onAdd();
  const std::vector<ExhibitionEntry> before = d.controller.entryList().entries();
  d.sink.answers = {false};
  d.controller.onFilesDropped({scene, package.document, picture});

  EXPECT_EQ(d.sink.questions.size(), 1u);
  EXPECT_EQ(d.controller.entryList().entries(), before);
  EXPECT_EQ(d.controller.browseStartPath(), scene);
  EXPECT_EQ(d.fields(), std::vector<std::string>({scene, "/old/t.png", "/old/d.png"}));
  EXPECT_EQ(d.view.lines, std::vector<std::string>{"/old/o.nuv"});
}

TEST(FileDrop, TwoPackagesInOneDropAskTwiceAndTheSecondWins) {
  TempDir dir;
  const Package first(dir, "one", 3);
  const Package second(dir, "two", 2);
  Dialog d;
  d.sink.answers = {true, true};
  d.controller.onFilesDropped({first.document, second.document});
  EXPECT_EQ(d.sink.questions.size(), 2u);
  // Yes is the default only while the list is empty.
  EXPECT_EQ(d.sink.questionDefaults,
            (std::vector<DefaultAnswer>{DefaultAnswer::Yes, DefaultAnswer::No}));
  EXPECT_EQ(d.controller.entryList().entries(), second.entries);
  EXPECT_EQ(d.view.lines, second.scenePaths());
  EXPECT_EQ(d.view.count, "2");
  EXPECT_EQ(d.controller.browseStartPath(), second.document);
  const ExhibitionEntry& shown = second.entries[0];
  EXPECT_EQ(d.view.fields, std::vector<std::string>(
                               {shown.scenePath, shown.thumbnailPath, shown.descriptionPath}));
}

// A document whose folder holds no folder 00 is no package: the list, the fields
// and the count stay, and the operator is told so.
TEST(FileDrop, APackageWithoutFolder00KeepsListFieldsAndCountAndSaysSo) {
  TempDir dir;
  const Package empty(dir, "empty", 0);
  Dialog d;
  d.controller.entryList().workingEntry() = {"/old/o.nuv", "/old/t.png", "/old/d.png", {}};
  d.controller.onAdd();
  const int listRedraws = d.view.listRedraws;
  d.sink.answers = {true};
  d.controller.onFilesDropped({empty.document});
  EXPECT_EQ(d.controller.entryList().size(), 1u);
  EXPECT_EQ(d.view.lines, std::vector<std::string>{"/old/o.nuv"});
  EXPECT_EQ(d.view.selected, 0);
  EXPECT_EQ(d.view.count, "1");
  EXPECT_EQ(d.controller.entryList().currentIndex(), 0);
  EXPECT_EQ(d.view.listRedraws, listRedraws);
  EXPECT_EQ(d.view.fieldRedraws, 0);
  EXPECT_EQ(d.fields(), std::vector<std::string>({"/old/o.nuv", "/old/t.png", "/old/d.png"}));
  const std::string folder = empty.document.substr(0, empty.document.rfind(kPathSeparator) + 1);
  EXPECT_EQ(d.sink.messages,
            std::vector<std::string>{std::string(kNoPackageFoundMessage) + "\n" + folder});

  // A file named 00 is no entry folder either.
  const Package stray(dir, "stray", 0);
  dir.write("stray/00", "a file");
  d.sink.messages.clear();
  d.sink.answers = {true};
  d.controller.onFilesDropped({stray.document});
  EXPECT_EQ(d.controller.entryList().size(), 1u);
  const std::string strayFolder =
      stray.document.substr(0, stray.document.rfind(kPathSeparator) + 1);
  EXPECT_EQ(d.sink.messages,
            std::vector<std::string>{std::string(kNoPackageFoundMessage) + "\n" + strayFolder});
}

// Answers Yes and, while the question is open, tries a second drop.
class MeddlingSink : public StrictRecordingSink {
 public:
  bool askYesNo(const std::string& text, DefaultAnswer) override {
    if (controller != nullptr) {
      acceptedDuringQuestion = controller->acceptsDrops();
      controller->onFilesDropped({secondDrop});
    }
    questions.push_back(text);
    return true;
  }
  DialogController* controller = nullptr;
  std::string secondDrop;
  bool acceptedDuringQuestion = true;
};

// A package whose replace was killed once its journal was written, before anything
// moved: Yes to the second question undoes that behind the progress window and reads
// the package; No, or a cancel of the undo, ends the drop (the picture after it stays
// unread).
TEST(FileDrop, APackageLeftHalfReplacedIsPutBackFirstWhenTheOperatorAgrees) {
  struct Case {
    bool agree, cancel;
  };
  for (const Case c : {Case{true, false}, Case{false, false}, Case{true, true}}) {
    SCOPED_TRACE(::testing::Message() << c.agree << c.cancel);
    TempDir dir;
    const Package package(dir, "pkg", 2);
    dir.write("pkg/.vesk-staging/.vesk-working-folder", "");
    dir.write("pkg/.vesk-staging/.vesk-journal",
              "Vesk replace journal 1\nearlier exhibition.nuv\nincoming exhibition.nuv\n");
    dir.write("pkg/.vesk-staging/exhibition.nuv", "the new document, not yet in");
    const std::string picture = dir.picture("b.jpg", "portrait.jpg");
    Dialog d;
    test::RecordingRunner runner;
    runner.cancel = c.cancel;
    d.controller.setBuildRunner(&runner);
    d.sink.answers = {true, c.agree};
    d.controller.onFilesDropped({package.document, picture});

    ASSERT_EQ(d.sink.questions.size(), 2u);
    EXPECT_EQ(d.sink.questions[1],
              "このフォルダでは作成または置き換えが中断されています。\n"
              "中断された作業を取り消して以前のパッケージに戻し、読み込みますか？");
    EXPECT_EQ(d.sink.questionDefaults[1], DefaultAnswer::Yes);
    const bool read = c.agree && !c.cancel;
    // The undo, then the reading, each behind the progress window.
    EXPECT_EQ(runner.stages.size(), read ? 2u : c.agree ? 1u : 0u);
    EXPECT_EQ(d.controller.entryList().entries(),
              read ? package.entries : std::vector<ExhibitionEntry>{});
    EXPECT_EQ(d.fields()[2], read ? picture : "");
    EXPECT_EQ(dir.names("pkg").front(), c.agree ? "00" : ".vesk-staging");
    if (c.agree) {
      EXPECT_EQ(dir.read("pkg/exhibition.nuv"), kScene);
      EXPECT_EQ(runner.sink.messages,
                std::vector<std::string>{"警告　前回中断された作成または置き換えを取り消し、保存先"
                                         "をその前の状態に戻しました"});
    }
    EXPECT_FALSE(d.controller.busy());
  }
}

// A package another run is writing right now is neither put back nor read: the drop
// says so, and the list stays.
TEST(FileDrop, APackageAnotherRunIsWritingIsLeftAlone) {
  TempDir dir;
  const Package package(dir, "pkg", 2);
  dir.write("pkg/.vesk-staging/.vesk-working-folder", "");
  FileLock held;
  int error = 0;
  ASSERT_EQ(lockFile(dir.file("pkg/.vesk-staging/.vesk-lock"), true, held, error),
            LockAttempt::Acquired);
  Dialog d;
  test::RecordingRunner runner;
  d.controller.setBuildRunner(&runner);
  d.sink.answers = {true};
  d.controller.onFilesDropped({package.document});

  EXPECT_EQ(d.sink.questions.size(), 1u) << "no question of putting back";
  ASSERT_EQ(d.sink.messages.size(), 1u);
  const std::string busy(kPackageBeingWrittenMessage);
  EXPECT_EQ(d.sink.messages[0].rfind(busy.substr(0, busy.find('{')), 0), 0u) << d.sink.messages[0];
  EXPECT_TRUE(runner.stages.empty());
  EXPECT_TRUE(d.controller.entryList().entries().empty());
  EXPECT_TRUE(std::filesystem::exists(dir.file("pkg/.vesk-staging/.vesk-working-folder")));
}

// A package on a slow share takes a while to read: the dialog reads it behind the
// progress window, and a Cancel there ends the drop with the list as it was.
TEST(FileDrop, APackageIsReadBehindTheProgressWindowWhereCancelKeepsTheList) {
  for (const bool cancel : {false, true}) {
    SCOPED_TRACE(cancel);
    TempDir dir;
    const Package package(dir, "pkg", 2);
    const std::string picture = dir.picture("b.jpg", "portrait.jpg");
    Dialog d;
    d.controller.entryList().workingEntry() = {"/old/o.nuv", "/old/t.png", "/old/d.png", {}};
    d.controller.onAdd();
    const std::vector<ExhibitionEntry> before = d.controller.entryList().entries();
    const std::string startBefore = d.controller.browseStartPath();
    test::RecordingRunner runner;
    runner.cancel = cancel;
    d.controller.setBuildRunner(&runner);
    d.sink.answers = {true};
    d.controller.onFilesDropped({package.document, picture});

    EXPECT_EQ(runner.stages, std::vector<ProgressStage>{ProgressStage::Check});
    EXPECT_EQ(d.controller.entryList().entries(), cancel ? before : package.entries);
    EXPECT_EQ(d.view.lines, cancel ? std::vector<std::string>{"/old/o.nuv"} : package.scenePaths());
    EXPECT_EQ(d.fields()[2], cancel ? "/old/d.png" : picture);
    EXPECT_EQ(d.controller.browseStartPath(), cancel ? startBefore : package.document);
    EXPECT_FALSE(d.controller.busy());
  }
}

TEST(FileDrop, ADropArrivingWhileTheQuestionIsOpenIsRefused) {
  TempDir dir;
  const Package package(dir, "pkg", 0);
  FakeView view;
  MeddlingSink sink;
  DialogController controller(view, sink, [](const std::string&) { return std::string(); });
  controller.initialise();
  sink.controller = &controller;
  sink.secondDrop = dir.write("late.nuv", kScene);
  controller.onFilesDropped({package.document});
  EXPECT_EQ(sink.questions.size(), 1u);
  EXPECT_FALSE(sink.acceptedDuringQuestion);
  EXPECT_EQ(controller.entryList().workingEntry().scenePath, "");
  EXPECT_TRUE(controller.acceptsDrops());
}

}  // namespace
}  // namespace vesk
