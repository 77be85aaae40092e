#include "editor/dialog_controller.h"
#include "base/path_terms.h"
#include "messages/messages.h"

#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_view.h"
#include "support/recording_runner.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::FakeView;
using test::StrictRecordingSink;

ExhibitionEntry entry(const std::string& name) {
  return {"/s/" + name + ".nuv", "/s/" + name + "_t.png", "/s/" + name + "_d.png", {}};
}

std::vector<std::string> fieldsOf(const std::string& name) {
  const ExhibitionEntry e = entry(name);
  return {e.scenePath, e.thumbnailPath, e.descriptionPath};
}

std::vector<std::string> linesOf(const std::string& names) {
  std::vector<std::string> lines;
  for (char c : names) lines.push_back(entry(std::string(1, c)).scenePath);
  return lines;
}

// A controller on a fake view, with a recording sink, a scripted chooser, a check
// that records its calls and finds `problems`, and a build that records its calls.
struct Dialog {
  Dialog()
      : controller(
            view, sink, [this](const std::string& start) { return choose(start); },
            [this](const CreateRequest& request, MessageSink&, BuildProgress*) {
              builds.push_back(request.destination);
              builtEntries = request.entries.size();
              builtWarnings = request.warningCount;
              return buildReport;
            },
            [this](const CheckRequest& request) {
              checks.push_back(request);
              PackagePlan plan;
              plan.problems = problems;
              plan.items = plannedItems;
              return plan;
            }) {
    controller.initialise();
  }

  std::string choose(const std::string& start) {
    chooserStarts.push_back(start);
    return chosenFolder;
  }

  // Adds the named entries through the Add command; the last one is current.
  void addEntries(const std::string& names) {
    for (char c : names) {
      controller.entryList().workingEntry() = entry(std::string(1, c));
      controller.onAdd();
    }
  }

  // Adds the entries, makes `current` current with an arrow key and forgets what the
  // view recorded so far.
  void start(const std::string& names, int current) {
    addEntries(names);
    view.highlight(current);
    controller.onKeyDown(DialogKey::Down);
    controller.onSelectionChanged();
    view.listRedraws = view.fieldRedraws = 0;
    view.count.reset();
  }

  FakeView view;
  StrictRecordingSink sink;
  std::string chosenFolder;
  std::vector<std::string> chooserStarts;
  std::vector<std::string> builds;
  std::size_t builtEntries = 0;
  std::size_t builtWarnings = 0;
  std::vector<CheckProblem> problems;
  std::vector<PlannedItem> plannedItems;
  BuildReport buildReport;
  std::vector<CheckRequest> checks;
  DialogController controller;
};

TEST(MainDialog, CommandsOnAFreshDialogChangeNothing) {
  Dialog d;
  d.view.pointAtLine(0);
  d.controller.onDelete();
  d.controller.onUp();
  d.controller.onDown();
  d.controller.onSelectionChanged();
  EXPECT_EQ(d.view.listRedraws + d.view.fieldRedraws, 0);
  EXPECT_FALSE(d.view.count.has_value());
  EXPECT_TRUE(d.sink.messages.empty());
  EXPECT_EQ(d.controller.entryList().currentIndex(), -1);
  EXPECT_FALSE(d.controller.arrowKeyPressed());
}

TEST(EntryEditing, AddWithAMissingPathShowsTheMessageAndChangesNothing) {
  for (int missing = 0; missing < 3; ++missing) {
    Dialog d;
    d.start("AB", 0);
    ExhibitionEntry incomplete = entry("X");
    std::string* fields[] = {&incomplete.scenePath, &incomplete.thumbnailPath,
                             &incomplete.descriptionPath};
    fields[missing]->clear();
    d.controller.entryList().workingEntry() = incomplete;
    d.controller.onAdd();
    EXPECT_EQ(d.sink.messages, std::vector<std::string>{"エラー　要素が足りません"});
    EXPECT_EQ(d.view.lines, linesOf("AB"));
    EXPECT_EQ(d.view.selected, 0);
    EXPECT_EQ(d.view.listRedraws + d.view.fieldRedraws, 0) << "missing field " << missing;
    EXPECT_FALSE(d.view.count.has_value());
  }
}

TEST(EntryEditing, AddShowsTheNewLineSelectedAndTheCount) {
  struct Case {
    const char* names;
    int current;  // -1: add into an empty list
    std::vector<std::string> lines;
    int selected;
    const char* count;
  };
  const Case cases[] = {
      {"", -1, linesOf("X"), 0, "1"},      {"A", 0, linesOf("AX"), 1, "2"},
      {"ABC", 1, linesOf("ABXC"), 2, "4"}, {"ABC", 2, linesOf("ABCX"), 3, "4"},
      {"ABC", 0, linesOf("AXBC"), 1, "4"},
  };
  for (const Case& c : cases) {
    Dialog d;
    if (c.current >= 0) d.start(c.names, c.current);
    d.controller.entryList().workingEntry() = entry("X");
    d.controller.onAdd();
    EXPECT_EQ(d.view.lines, c.lines) << c.names << " current " << c.current;
    EXPECT_EQ(d.view.selected, c.selected) << c.names << " current " << c.current;
    EXPECT_EQ(d.view.count, c.count);
    EXPECT_EQ(d.view.fieldRedraws, 0) << "the fields already show the working entry";
    EXPECT_TRUE(d.sink.messages.empty());
  }
}

TEST(EntryEditing, TwoAddsOfTheSameEntryGiveTwoEqualLinesWithTheSecondSelected) {
  Dialog d;
  d.controller.entryList().workingEntry() = entry("A");
  d.controller.onAdd();
  d.controller.onAdd();
  EXPECT_EQ(d.view.lines, linesOf("AA"));
  EXPECT_EQ(d.view.selected, 1);
  EXPECT_EQ(d.view.count, "2");
}

TEST(EntryEditing, DeleteRedrawsListFieldsAndCount) {
  struct Case {
    const char* names;
    int current;
    std::vector<std::string> lines;
    int selected;
    std::vector<std::string> fields;
    const char* count;
  };
  const Case cases[] = {
      {"A", 0, {}, -1, {"", "", ""}, "0"},
      {"AB", 0, linesOf("B"), 0, fieldsOf("B"), "1"},
      {"AB", 1, linesOf("A"), 0, fieldsOf("A"), "1"},
      {"ABC", 0, linesOf("BC"), 0, fieldsOf("B"), "2"},
      {"ABC", 1, linesOf("AC"), 1, fieldsOf("C"), "2"},
      {"ABC", 2, linesOf("AB"), 1, fieldsOf("B"), "2"},
  };
  for (const Case& c : cases) {
    Dialog d;
    d.start(c.names, c.current);
    d.controller.onDelete();
    EXPECT_EQ(d.view.lines, c.lines) << c.names << " current " << c.current;
    EXPECT_EQ(d.view.selected, c.selected) << c.names << " current " << c.current;
    EXPECT_EQ(d.view.fields, c.fields) << c.names << " current " << c.current;
    EXPECT_EQ(d.view.count, c.count);
  }
}

TEST(EntryEditing, DeleteOfTheOnlyEntryKeepsTheWorkingDataFiles) {
  Dialog d;
  d.start("A", 0);
  d.controller.entryList().workingEntry().dataFiles = {"/s/v.raw"};
  d.controller.onDelete();
  EXPECT_EQ(d.controller.entryList().workingEntry().dataFiles,
            std::vector<std::string>{"/s/v.raw"});
}

TEST(EntryEditing, UpAndDownMoveTheSelectedLineAndShowIt) {
  struct Case {
    const char* names;
    int selected;
    bool up;
    std::vector<std::string> lines;  // empty: nothing is redrawn
    int newSelection;
    const char* shown;
  };
  const Case cases[] = {
      {"A", 0, true, {}, 0, ""},
      {"A", 0, false, {}, 0, ""},
      {"AB", 0, true, {}, 0, ""},
      {"AB", 1, false, {}, 1, ""},
      {"AB", 1, true, linesOf("BA"), 0, "B"},
      {"AB", 0, false, linesOf("BA"), 1, "A"},
      {"ABC", 2, true, linesOf("ACB"), 1, "C"},
      {"ABC", 1, true, linesOf("BAC"), 0, "B"},
      {"ABC", 0, false, linesOf("BAC"), 1, "A"},
      {"ABC", 1, false, linesOf("ACB"), 2, "B"},
      {"ABC", 2, false, {}, 2, ""},
  };
  for (const Case& c : cases) {
    Dialog d;
    d.start(c.names, c.selected);
    const std::vector<std::string> fieldsBefore = d.view.fields;
    if (c.up)
      d.controller.onUp();
    else
      d.controller.onDown();
    const std::string label =
        std::string(c.names) + (c.up ? " up " : " down ") + std::to_string(c.selected);
    if (c.lines.empty()) {
      EXPECT_EQ(d.view.listRedraws + d.view.fieldRedraws, 0) << label;
      EXPECT_EQ(d.view.fields, fieldsBefore) << label;
    } else {
      EXPECT_EQ(d.view.lines, c.lines) << label;
      EXPECT_EQ(d.view.fields, fieldsOf(c.shown)) << label;
    }
    EXPECT_EQ(d.view.selected, c.newSelection) << label;
    EXPECT_EQ(d.controller.entryList().currentIndex(), c.newSelection) << label;
    EXPECT_FALSE(d.view.count.has_value()) << label << ": the count is not rewritten";
  }
}

TEST(EntryEditing, UpActsOnTheHighlightedLineEvenWhenTheFieldsShowAnother) {
  Dialog d;
  d.start("ABC", 0);
  d.view.pointOutsideList();
  d.view.highlight(2);
  d.controller.onSelectionChanged();  // refused: the fields keep A
  EXPECT_EQ(d.view.fields, fieldsOf("A"));
  d.controller.onUp();
  EXPECT_EQ(d.view.lines, linesOf("ACB"));
  EXPECT_EQ(d.view.selected, 1);
  EXPECT_EQ(d.view.fields, fieldsOf("C"));
}

TEST(SelectionChange, AnArrowKeyLoadsTheSelectedEntryWithoutTheMouseTest) {
  Dialog d;
  d.start("ABC", 0);
  d.view.pointOutsideList();
  for (DialogKey key : {DialogKey::Left, DialogKey::Up, DialogKey::Right, DialogKey::Down}) {
    EXPECT_FALSE(d.controller.onKeyDown(key)) << "arrow keys go on to the control";
    EXPECT_TRUE(d.controller.arrowKeyPressed());
    d.view.highlight(d.view.selected == 1 ? 2 : 1);
    d.controller.onSelectionChanged();
    EXPECT_EQ(d.view.fields, d.view.selected == 1 ? fieldsOf("B") : fieldsOf("C"));
    EXPECT_EQ(d.controller.entryList().currentIndex(), d.view.selected);
    EXPECT_FALSE(d.controller.arrowKeyPressed()) << "an accepted change clears the flag";
  }
}

TEST(SelectionChange, AClickOnTheLineLoadsItAndAClickElsewhereKeepsTheFields) {
  Dialog d;
  d.start("ABC", 0);

  d.view.highlight(2);
  d.view.pointAtLine(2);
  d.controller.onSelectionChanged();
  EXPECT_EQ(d.view.fields, fieldsOf("C"));
  EXPECT_EQ(d.view.listRedraws, 1) << "an accepted change rebuilds the list";

  d.view.listRedraws = 0;
  d.view.highlight(1);
  d.view.pointAtLine(2);  // e.g. a click below the last line moved the highlight
  d.controller.onSelectionChanged();
  EXPECT_EQ(d.view.fields, fieldsOf("C"));
  EXPECT_EQ(d.view.selected, 1) << "the highlight stays where the operator put it";
  EXPECT_EQ(d.controller.entryList().currentIndex(), 1);
  EXPECT_EQ(d.view.listRedraws, 0);
}

TEST(SelectionChange, TheMouseTestTakesTheListBoxWhereItIsNow) {
  Dialog d;
  d.start("ABC", 0);
  d.view.listBox = {75, 60, 375, 360};  // the window rescaled on another screen
  d.view.highlight(2);
  d.view.pointAtLine(2);
  d.controller.onSelectionChanged();
  EXPECT_EQ(d.view.fields, fieldsOf("C"));
}

TEST(SelectionChange, KeysOtherThanArrowsAreJudgedByTheMouseTest) {
  Dialog d;
  d.start("ABC", 0);
  d.view.pointOutsideList();
  EXPECT_FALSE(d.controller.onKeyDown(DialogKey::Other));  // e.g. End
  d.view.highlight(2);
  d.controller.onSelectionChanged();
  EXPECT_EQ(d.view.fields, fieldsOf("A"));
  EXPECT_EQ(d.controller.entryList().currentIndex(), 2);
}

TEST(SelectionChange, ARefusedChangeKeepsTheArrowFlagOnlyWhenNothingIsSelected) {
  Dialog d;
  d.start("AB", 0);
  d.controller.onKeyDown(DialogKey::Up);
  d.view.highlight(-1);
  d.controller.onSelectionChanged();
  EXPECT_TRUE(d.controller.arrowKeyPressed());
  EXPECT_EQ(d.controller.entryList().currentIndex(), -1);
  // With no current entry the list box's selection changes nothing any more.
  d.view.highlight(1);
  d.view.pointAtLine(1);
  d.controller.onSelectionChanged();
  EXPECT_EQ(d.controller.entryList().currentIndex(), -1);
  EXPECT_EQ(d.view.fields, fieldsOf("A"));
}

TEST(SelectionChange, MouseTestCountsAllFourEdgesAsInside) {
  const ViewRect listBox{50, 40, 250, 240};
  const ViewRect line{0, 10, 100, 20};
  struct Case {
    int x, y;
    bool inside;
  };
  const Case cases[] = {
      {50, 50, true},  {150, 50, true},  {50, 60, true},   {150, 60, true},  {100, 55, true},
      {49, 55, false}, {151, 55, false}, {100, 49, false}, {100, 61, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(cursorOverLine({c.x, c.y}, listBox, line), c.inside) << c.x << "," << c.y;
  }
}

TEST(KeyFilter, EnterAndEscapeAreSwallowedAndSetNoFlag) {
  Dialog d;
  EXPECT_TRUE(d.controller.onKeyDown(DialogKey::Enter));
  EXPECT_TRUE(d.controller.onKeyDown(DialogKey::Escape));
  EXPECT_FALSE(d.controller.onKeyDown(DialogKey::Other));
  EXPECT_FALSE(d.controller.arrowKeyPressed());
}

TEST(CreateCommand, RefusesAnEmptyListAndMoreThan99EntriesBeforeTheChooser) {
  struct Case {
    int entries;
    const char* message;
  };
  const Case cases[] = {{0, kNoEntriesMessage}, {100, kTooManyEntriesMessage}};
  for (const Case& c : cases) {
    Dialog d;
    for (int i = 0; i < c.entries; ++i) d.addEntries("A");
    d.chosenFolder = "/out";
    d.controller.onCreate();
    EXPECT_EQ(d.sink.messages, std::vector<std::string>{c.message}) << c.entries;
    EXPECT_TRUE(d.chooserStarts.empty()) << c.entries;
    EXPECT_TRUE(d.builds.empty()) << c.entries;
  }
}

TEST(CreateCommand, ACancelledChooserEndsSilently) {
  Dialog d;
  d.addEntries("AB");
  d.controller.entryList().dataFilesOf(0) = {"stale"};
  d.controller.onCreate();
  EXPECT_EQ(d.controller.entryList().at(0).dataFiles, std::vector<std::string>{"stale"});
  EXPECT_EQ(d.chooserStarts, std::vector<std::string>{d.controller.browseStartPath()});
  EXPECT_TRUE(d.builds.empty());
  EXPECT_TRUE(d.sink.messages.empty());
}

TEST(CreateCommand, BuildsInto99EntriesIntoTheChosenFolder) {
  Dialog d;
  for (int i = 0; i < 99; ++i) d.addEntries("A");
  d.chosenFolder = "/out";
  d.controller.onCreate();
  EXPECT_EQ(d.builds, std::vector<std::string>{"/out"});
  EXPECT_EQ(d.builtEntries, 99u);
  EXPECT_FALSE(d.controller.busy());
}

// A create of one entry into /out that copies b.nuv, t.jpg and d.png into 00, each
// from `sourceFolder` + its name (no source when empty), and succeeds.
void createIntoOut(Dialog& d, const std::string& sourceFolder) {
  d.chosenFolder = "/out";
  const auto copy = [&](PlannedRole role, const std::string& name) {
    PlannedItem item;
    item.entryNumber = 0;
    item.role = role;
    if (!sourceFolder.empty()) item.source = sourceFolder + name;
    item.target = "00" + std::string(1, kPathSeparator) + name;
    return item;
  };
  d.plannedItems = {copy(PlannedRole::Scene, "b.nuv"), copy(PlannedRole::Thumbnail, "t.jpg"),
                    copy(PlannedRole::Description, "d.png")};
  d.buildReport.status = BuildStatus::Written;
  d.buildReport.documentPath = "/out/exhibition.nuv";
  d.controller.onCreate();
}

TEST(CreateCommand, PathsIntoTheFolderWrittenNameTheirCopiesThereAfterwards) {
  Dialog d;
  d.controller.entryList().workingEntry() = {"/out/01/b.nuv", "/out/01/t.jpg", "/s/d.png", {}};
  d.controller.onAdd();
  const std::string sep(1, kPathSeparator);
  createIntoOut(d, "");
  const std::vector<std::string> shown = {"/out/00" + sep + "b.nuv", "/out/00" + sep + "t.jpg",
                                          "/s/d.png"};
  const ExhibitionEntry& kept = d.controller.entryList().at(0);
  EXPECT_EQ((std::vector<std::string>{kept.scenePath, kept.thumbnailPath, kept.descriptionPath}),
            shown);
  EXPECT_EQ(d.view.lines, std::vector<std::string>{shown[0]});
  EXPECT_EQ(d.view.fields, shown);
}

TEST(CreateCommand, AnEntryBeingComposedNamesTheCopiesOfItsFilesOrNothingAfterwards) {
  // Read back from /out, its entry 01 is now built as 00; the operator had dropped a
  // new thumbnail and a picture of the earlier package that the create does not take.
  Dialog d;
  d.controller.entryList().workingEntry() = {"/out/01/b.nuv", "/out/01/t.jpg", "/out/01/d.png", {}};
  d.controller.onAdd();
  d.controller.entryList().workingEntry() = {"/out/01/b.nuv", "/new/t2.jpg", "/out/02/x.png", {}};
  const std::string sep(1, kPathSeparator);
  createIntoOut(d, "/out/01/");
  EXPECT_EQ(d.controller.entryList().at(0).thumbnailPath, "/out/00" + sep + "t.jpg");
  const std::vector<std::string> composed = {"/out/00" + sep + "b.nuv", "/new/t2.jpg", ""};
  const ExhibitionEntry& working = d.controller.entryList().workingEntry();
  EXPECT_EQ(
      (std::vector<std::string>{working.scenePath, working.thumbnailPath, working.descriptionPath}),
      composed);
  EXPECT_EQ(d.view.fields, composed);
}

TEST(CreateCommand, AnEarlierPackageInTheFolderIsReplacedOnlyWhenTheOperatorAgrees) {
  test::TempDir folder;
  folder.write("pkg/exhibition.nuv", "earlier");
  folder.write("pkg/.vesk-staging/.vesk-working-folder", "");
  folder.write("pkg/.vesk-staging/00/half.raw", "left by a killed run");
  Dialog d;
  d.addEntries("A");
  d.chosenFolder = folder.file("pkg");

  // No, the default: back to the dialog with nothing checked, built or shown.
  d.sink.answers = {false};
  d.controller.onCreate();
  EXPECT_EQ(d.sink.questions, std::vector<std::string>{kReplaceQuestion});
  EXPECT_EQ(d.sink.questionDefaults, std::vector<DefaultAnswer>{DefaultAnswer::No});
  EXPECT_TRUE(d.checks.empty());
  EXPECT_TRUE(d.builds.empty());
  EXPECT_TRUE(d.sink.messages.empty());
  EXPECT_FALSE(d.controller.busy());
  EXPECT_EQ(folder.names("pkg"), std::vector<std::string>{"exhibition.nuv"})
      << "the leftover staging folder was removed first";
  EXPECT_EQ(folder.read("pkg/exhibition.nuv"), "earlier");

  // Yes: the replace, which cannot build this entry and keeps the earlier package.
  d.sink.answers = {true};
  d.controller.onCreate();
  EXPECT_TRUE(d.builds.empty());
  ASSERT_FALSE(d.sink.messages.empty());
  EXPECT_EQ(d.sink.messages.back(), kEarlierPackageKeptMessage);
  EXPECT_EQ(folder.read("pkg/exhibition.nuv"), "earlier");
  EXPECT_EQ(folder.names("pkg"), std::vector<std::string>{"exhibition.nuv"});
}

CheckProblem problem(CheckSeverity severity, const std::string& text) {
  CheckProblem p;
  p.severity = severity;
  p.text = text;
  return p;
}

TEST(CreateCommand, TheCheckShowsItsProblemsInOneWindowAndTheAnswerDecides) {
  const CheckProblem error = problem(CheckSeverity::Error, "00 nuvファイルが見つかりません");
  const CheckProblem warning = problem(CheckSeverity::Warning, "01 Sur グループがありません");
  struct Case {
    const char* name;
    std::vector<CheckProblem> problems;
    bool answerCreate;
    bool windowShown;
    bool canCreate;
    bool built;
    std::size_t warnings;
  };
  const Case cases[] = {
      {"no problems: no window", {}, false, false, false, true, 0},
      {"warnings, 作成", {warning, warning}, true, true, true, true, 2},
      {"warnings, 中止", {warning, warning}, false, true, true, false, 0},
      {"an error, 中止", {error}, false, true, false, false, 0},
      {"an error, the view answers 作成 anyway", {warning, error}, true, true, false, false, 0},
  };
  for (const Case& c : cases) {
    Dialog d;
    d.addEntries("AB");
    d.chosenFolder = "/out";
    d.problems = c.problems;
    d.view.answerCreate = c.answerCreate;
    d.controller.onCreate();

    ASSERT_EQ(d.checks.size(), 1u) << c.name;
    EXPECT_EQ(d.checks[0].destination, "/out") << c.name;
    EXPECT_EQ(d.checks[0].entries.size(), 2u) << c.name;
    EXPECT_FALSE(d.checks[0].replacing) << c.name;
    ASSERT_EQ(d.view.problemWindows.size(), c.windowShown ? 1u : 0u) << c.name;
    if (c.windowShown) {
      EXPECT_EQ(d.view.problemWindows[0].canCreate, c.canCreate) << c.name;
      EXPECT_EQ(d.view.problemWindows[0].lines.size(), c.problems.size()) << c.name;
    }
    EXPECT_EQ(d.builds, c.built ? std::vector<std::string>{"/out"} : std::vector<std::string>{})
        << c.name;
    EXPECT_EQ(d.builtWarnings, c.warnings) << c.name;
    EXPECT_TRUE(d.sink.messages.empty()) << c.name << ": the window is the only report";
    EXPECT_FALSE(d.controller.busy()) << c.name;
  }
}

TEST(CreateCommand, TheCheckRunsAfterTheChooserAndOnlyForAnAcceptedCount) {
  Dialog d;
  d.controller.onCreate();  // no entries
  d.addEntries("A");
  d.controller.onCreate();  // chooser cancelled
  EXPECT_TRUE(d.checks.empty());
  EXPECT_TRUE(d.view.problemWindows.empty());
}

TEST(CreateCommand, AReplaceIsCheckedAsOneAndStopsBeforeTouchingTheEarlierPackage) {
  test::TempDir folder;
  folder.write("pkg/exhibition.nuv", "earlier");
  folder.write("pkg/00/old.nuv", "old scene");
  Dialog d;
  d.addEntries("A");
  d.chosenFolder = folder.file("pkg");
  d.problems = {problem(CheckSeverity::Error, "00 nuvファイルが見つかりません")};
  d.sink.answers = {true};
  d.controller.onCreate();
  ASSERT_EQ(d.checks.size(), 1u);
  EXPECT_TRUE(d.checks[0].replacing);
  EXPECT_EQ(d.view.problemWindows.size(), 1u);
  EXPECT_TRUE(d.builds.empty());
  EXPECT_TRUE(d.sink.messages.empty());
  EXPECT_EQ(folder.read("pkg/exhibition.nuv"), "earlier");
  EXPECT_EQ(folder.read("pkg/00/old.nuv"), "old scene");
  EXPECT_EQ(folder.names("pkg"), (std::vector<std::string>{"00", "exhibition.nuv"}));
}

// Runs each job in place, tries the editing commands while it runs, and presses
// Cancel at once for the stage `cancelling` names.
class MeddlingRunner : public BuildRunner {
 public:
  MeddlingRunner(DialogController& controller, MessageSink& sink, test::FakeView& view)
      : controller_(controller), sink_(sink), view_(view) {}
  bool run(ProgressStage stage, const BackgroundJob& job) override {
    stages.push_back(stage);
    busyDuringRun = controller_.busy();
    controller_.entryList().workingEntry() = entry("Z");
    controller_.onAdd();
    controller_.onDelete();
    controller_.onCreate();
    // A click on another line and an arrow key, which the list box still takes.
    view_.highlight(controller_.entryList().currentIndex() == 0 ? 1 : 0);
    controller_.onSelectionChanged();
    (void)controller_.onKeyDown(DialogKey::Down);
    struct Cancelling : BuildProgress {
      bool cancel = false;
      bool cancelRequested() override { return cancel; }
    } progress;
    progress.cancel = cancelling == stage;
    job(sink_, progress);
    return !progress.cancel;
  }
  std::vector<ProgressStage> stages;
  std::optional<ProgressStage> cancelling;
  bool busyDuringRun = false;

 private:
  DialogController& controller_;
  MessageSink& sink_;
  test::FakeView& view_;
};

// What a killed run left in the folder is dealt with behind the progress window, before
// the replace question; a cancel there starts nothing after the recovery.
TEST(CreateCommand, ARecoveryRunsBehindTheProgressWindowBeforeTheQuestion) {
  for (const bool cancel : {false, true}) {
    test::TempDir folder;
    folder.write("pkg/exhibition.nuv", "earlier");
    folder.write("pkg/.vesk-staging/.vesk-working-folder", "");
    folder.write("pkg/.vesk-staging/00/half.raw", "left by a killed run");
    Dialog d;
    d.addEntries("A");
    d.chosenFolder = folder.file("pkg");
    test::RecordingRunner runner;
    runner.cancel = cancel;
    d.controller.setBuildRunner(&runner);
    d.sink.answers = {false};
    d.controller.onCreate();
    ASSERT_FALSE(runner.stages.empty());
    EXPECT_EQ(runner.stages.front(), ProgressStage::Check);
    EXPECT_EQ(folder.names("pkg"), std::vector<std::string>{"exhibition.nuv"});
    EXPECT_EQ(d.sink.questions.size(), cancel ? 0u : 1u) << "the replace question";
    EXPECT_FALSE(d.controller.busy());
  }
}

// An exception out of a run (a front end's runner passes on the job's) ends that run
// with a message, never the program: the list and the dialog stay.
TEST(CreateCommand, AFailureNoPartForesawEndsTheRunWithAMessageAndKeepsTheList) {
  struct Throwing : BuildRunner {
    bool run(ProgressStage stage, const BackgroundJob& job) override {
      if (stage == ProgressStage::Create) throw std::bad_alloc();
      BuildProgress none;
      job(sink, none);
      return true;
    }
    test::RecordingSink sink;
  };
  Dialog d;
  d.addEntries("AB");
  d.chosenFolder = "/out";
  Throwing runner;
  d.controller.setBuildRunner(&runner);
  d.controller.onCreate();
  EXPECT_EQ(d.sink.messages, std::vector<std::string>{kUnexpectedFailureMessage});
  EXPECT_EQ(d.controller.entryList().size(), 2u);
  EXPECT_FALSE(d.controller.busy());
}

TEST(CreateCommand, TheDialogTakesNoCommandWhileTheCheckOrTheBuildRuns) {
  Dialog d;
  d.addEntries("AB");
  d.chosenFolder = "/out";
  MeddlingRunner runner(d.controller, d.sink, d.view);
  d.controller.setBuildRunner(&runner);
  d.controller.onCreate();
  EXPECT_EQ(runner.stages,
            (std::vector<ProgressStage>{ProgressStage::Check, ProgressStage::Create}));
  EXPECT_TRUE(runner.busyDuringRun);
  ASSERT_EQ(d.checks.size(), 1u);
  EXPECT_NE(d.checks[0].progress, nullptr) << "the check reports to the runner's progress";
  EXPECT_EQ(d.builds, std::vector<std::string>{"/out"});
  EXPECT_EQ(d.builtEntries, 2u);
  EXPECT_EQ(d.chooserStarts.size(), 1u);
  EXPECT_FALSE(d.controller.busy());
  // The highlight is the current entry's; the key pressed meanwhile left no mark, so a
  // click away from the lines loads nothing.
  const int current = d.controller.entryList().currentIndex();
  EXPECT_EQ(d.view.selected, current);
  const int fieldRedraws = d.view.fieldRedraws;
  d.view.highlight(current == 0 ? 1 : 0);
  d.view.pointOutsideList();
  d.controller.onSelectionChanged();
  EXPECT_EQ(d.view.fieldRedraws, fieldRedraws);
  d.controller.onAdd();
  EXPECT_EQ(d.controller.entryList().size(), 3u) << "commands work again after the build";
}

TEST(CreateCommand, ACancelledCheckEndsTheCreateSilently) {
  Dialog d;
  d.addEntries("A");
  d.chosenFolder = "/out";
  // Whatever it found, even nothing or warnings only.
  for (const bool warnings : {false, true}) {
    d.problems.clear();
    if (warnings) {
      d.problems.push_back({CheckSeverity::Warning, CheckFault::NoTopGroup, 0, CheckRole::Scene,
                            "/s/A.nuv", "警告　00 nuvファイルに…"});
    }
    MeddlingRunner runner(d.controller, d.sink, d.view);
    runner.cancelling = ProgressStage::Check;
    d.controller.setBuildRunner(&runner);
    d.controller.onCreate();
    EXPECT_EQ(runner.stages, std::vector<ProgressStage>{ProgressStage::Check});
    EXPECT_TRUE(d.view.problemWindows.empty());
    EXPECT_TRUE(d.builds.empty());
    EXPECT_TRUE(d.sink.messages.empty());
    EXPECT_FALSE(d.controller.busy());
  }
}

}  // namespace
}  // namespace vesk
