#include "package/package_replace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "base/file_operations.h"
#include "messages/messages.h"
#include "messages/report_texts.h"
#include "package/package_check.h"
#include "package/package_layout.h"
#include "package/package_plan.h"
#include "package/package_reimport.h"
#include "package/package_swap.h"
#include "package/package_verify.h"
#include "package/packaged_entries.h"
#include "package/recovery_report.h"
#include "replace_fixture.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using test::PackageReplace;
using test::snapshot;

TEST_F(PackageReplace, ReplacesTheEarlierPackageAndKeepsOtherFiles) {
  makeEarlierAndExpected();
  const BuildReport report = replacePackage(request({"c", "b", "a"}, "D"), sink);
  EXPECT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(test::withoutSummary(sink.messages), std::vector<std::string>{kCreatedMessage});
  EXPECT_EQ(snapshot(dir.file("D")), replaced) << "07, which the document does not name, stays";
}

// The next run into the destination, as `vesk-cli build` makes it: recovery first, then
// the check (an error refuses), then a replace where a package is and one is asked for.
BuildStatus nextBuild(const CreateRequest& request, bool replace, MessageSink& sink) {
  if (!recoverBeforeRun(request.destination, sink)) return BuildStatus::Refused;
  CheckRequest check;
  check.entries = request.entries;
  check.destination = request.destination;
  check.replacing = replace;
  check.programFolder = request.programFolder;
  auto plan = std::make_shared<const PackagePlan>(planPackage(check));
  if (hasCheckErrors(plan->problems)) return BuildStatus::Refused;
  CreateRequest planned = request;
  planned.plan = plan;
  return replace && holdsPackage(request.destination) ? replacePackage(planned, sink).status
                                                      : createPackage(planned, sink).status;
}

enum class NextRun { Replace, Plain, FromEarlier };

const char* nameOf(NextRun next) {
  switch (next) {
    case NextRun::Replace:
      return "--replace";
    case NextRun::Plain:
      return "plain";
    case NextRun::FromEarlier:
      return "--from DIR --replace";
  }
  return "";
}

// The steps a run takes, by what each does.
template <typename Run>
std::vector<std::string> stepsOf(const Run& run) {
  std::vector<std::string> steps;
  run([&](int, const std::string& what) {
    steps.push_back(what);
    return true;
  });
  return steps;
}

// Prints the kill table when VESK_KILL_TABLE is set.
void printTable(const std::string& title, const std::vector<std::string>& rows) {
  if (std::getenv("VESK_KILL_TABLE") == nullptr) return;
  std::cout << title << '\n';
  for (const auto& row : rows) std::cout << row << '\n';
}

// While a replace moves its members, reading the package back says that a run is
// writing there, not that its members are missing.
TEST_F(PackageReplace, ReadingThePackageBackDuringTheSwapSaysARunIsWritingThere) {
  makeEarlierAndExpected();
  std::optional<Message> notice;
  const StepHook midSwap = [&](int, const std::string& what) {
    if (what.starts_with("move in") && !notice) {
      notice = interruptedWorkNotice(dir.file("D/exhibition.nuv"));
    }
    return true;
  };
  ASSERT_EQ(replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr, midSwap).status,
            BuildStatus::Written);
  ASSERT_TRUE(notice.has_value());
  const std::string busy(kPackageBeingWrittenMessage);
  EXPECT_EQ(notice->text.rfind(busy.substr(0, busy.find('{')), 0), 0u) << notice->text;
  EXPECT_FALSE(interruptedWorkNotice(dir.file("D/exhibition.nuv")).has_value());
}

TEST_F(PackageReplace, AKillAtAnyStepLeavesOneWholePackageForEveryNextRun) {
  makeEarlierAndExpected();
  const auto steps = stepsOf([&](const StepHook& hook) {
    replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr, hook);
  });
  // Working folder (3), build, journal, aside folder, 4 members aside, 6 in, flush and
  // the removal of the working folder.
  ASSERT_GE(steps.size(), 18u);
  std::vector<std::string> table;
  for (std::size_t kill = 0; kill < steps.size(); ++kill) {
    std::string row = std::to_string(kill) + " " + steps[kill] + ":";
    for (const NextRun next : {NextRun::Replace, NextRun::Plain, NextRun::FromEarlier}) {
      SCOPED_TRACE("killed before step " + std::to_string(kill) + " (" + steps[kill] + "), then " +
                   nameOf(next));
      dir.clear();
      SetUp();
      makeEarlierAndExpected();
      const BuildReport killed = replacePackage(
          request({"c", "b", "a"}, "D"), sink, nullptr,
          [&](int step, const std::string&) { return step != static_cast<int>(kill); });
      EXPECT_EQ(killed.status, BuildStatus::Stopped);
      EXPECT_TRUE(sink.messages.empty()) << "a killed run says nothing";

      // The check changes nothing and foretells the replace.
      const auto atKill = snapshot(dir.file("D"));
      const CheckRequest check = checkRequest({"c", "b", "a"}, "D", true);
      const auto problems = checkPackage(check);
      EXPECT_FALSE(hasCheckErrors(problems)) << checkReportText(problems);
      EXPECT_EQ(snapshot(dir.file("D")), atKill);
      // Reading the package back says what happened instead of listing missing files.
      const bool aside = pendingRecovery(dir.file("D")) == Recovery::RolledBack;
      EXPECT_EQ(interruptedWorkNotice(dir.file("D/exhibition.nuv")).has_value(), aside);

      switch (next) {
        case NextRun::Replace:
          EXPECT_EQ(nextBuild(request({"c", "b", "a"}, "D"), true, sink), BuildStatus::Written);
          EXPECT_EQ(snapshot(dir.file("D")), replaced);
          break;
        case NextRun::Plain: {
          // Refused by the check for the package there, which is whole.
          EXPECT_EQ(nextBuild(request({"c", "b", "a"}, "D"), false, sink), BuildStatus::Refused);
          const auto after = snapshot(dir.file("D"));
          EXPECT_TRUE(after == earlier || after == replaced);
          row += after == earlier ? " earlier" : after == replaced ? " new" : " BROKEN";
          break;
        }
        case NextRun::FromEarlier: {
          ASSERT_TRUE(recoverBeforeRun(dir.file("D"), sink));
          EntryList list;
          reimportPackage(dir.file("D/exhibition.nuv"), list, sink);
          ASSERT_GE(list.size(), 2u);
          CreateRequest again{list.entries(), dir.file("D"), dir.file("program")};
          EXPECT_EQ(nextBuild(again, true, sink), BuildStatus::Written);
          EXPECT_TRUE(verifyPackage(dir.file("D/exhibition.nuv")).empty());
          EXPECT_EQ(dir.read("D/notes.txt"), "the operator's own");
          EXPECT_EQ(dir.read("D/07/keep.txt"), "an old folder the new package does not have");
          break;
        }
      }
      EXPECT_FALSE(fs::exists(dir.file("D/.vesk-staging")));
    }
    table.push_back(row);
  }
  printTable("replace of 2 entries by 3: killed before step -> after the next build's recovery",
             table);
}

TEST_F(PackageReplace, AKillDuringTheRecoveryIsRecoveredByTheNextRun) {
  makeEarlierAndExpected();
  // Killed just after the earlier document and folder 00 were moved aside.
  const auto steps = stepsOf([&](const StepHook& hook) {
    replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr, hook);
  });
  const auto swapStep = std::find(steps.begin(), steps.end(), "move aside 01") - steps.begin();
  for (int recoveryKill = 0; recoveryKill < 6; ++recoveryKill) {
    SCOPED_TRACE("recovery killed before its step " + std::to_string(recoveryKill));
    dir.clear();
    SetUp();
    makeEarlierAndExpected();
    replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr,
                   [&](int step, const std::string&) { return step != swapStep; });
    recoverInterruptedWork(dir.file("D"),
                           [&](int step, const std::string&) { return step != recoveryKill; });
    // Once the earlier members are back the journal goes first: what is left is
    // discarded.
    const Recovery again = recoverInterruptedWork(dir.file("D"));
    EXPECT_TRUE(again == Recovery::RolledBack || again == Recovery::Discarded);
    EXPECT_EQ(snapshot(dir.file("D")), earlier);
  }
}

// Behind a replace killed mid-swap, the check foretells the next build: a folder the
// interrupted run's journal does not speak of stays through the recovery, and is in
// the way of a larger package.
TEST_F(PackageReplace, AnOperatorsFolderBehindAKilledReplaceIsInTheWayAsAfterRecovery) {
  makeEarlierAndExpected();
  replacePackage(request({"b", "a"}, "D"), sink, nullptr,
                 [&](int, const std::string& what) { return what != "move in 01"; });
  ASSERT_NE(pendingRecovery(dir.file("D")), Recovery::NothingFound);
  dir.write("D/02/notes.txt", "made by the operator meanwhile");
  const CheckRequest check = checkRequest({"c", "b", "a"}, "D", true);
  const auto problems = checkPackage(check);
  ASSERT_TRUE(hasCheckErrors(problems)) << checkReportText(problems);
  EXPECT_NE(checkReportText(problems).find(dir.file("D/02")), std::string::npos);
  EXPECT_EQ(nextBuild(request({"c", "b", "a"}, "D"), true, sink), BuildStatus::Refused);
  EXPECT_EQ(dir.read("D/02/notes.txt"), "made by the operator meanwhile");
}

// The earlier members aside tell the next run whether a swap finished, so they outlast
// the journal: whatever order the folder lists its contents in, the journal goes first,
// and a kill anywhere after it leaves a working folder the next run just discards.
TEST_F(PackageReplace, AfterTheSwapTheJournalGoesBeforeTheEarlierPackage) {
  makeEarlierAndExpected();
  const auto steps = stepsOf([&](const StepHook& hook) {
    replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr, hook);
  });
  const std::size_t flush = std::find(steps.begin(), steps.end(), "flush") - steps.begin();
  ASSERT_LT(flush + 2, steps.size());
  EXPECT_EQ(steps[flush + 1], "remove .vesk-journal");
  for (std::size_t kill = flush + 2; kill < steps.size(); ++kill) {
    SCOPED_TRACE("killed before step " + std::to_string(kill) + " (" + steps[kill] + ")");
    dir.clear();
    SetUp();
    makeEarlierAndExpected();
    replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr,
                   [&](int step, const std::string&) { return step != static_cast<int>(kill); });
    EXPECT_FALSE(fs::exists(dir.file("D/.vesk-staging/.vesk-journal")));
    EXPECT_EQ(recoverInterruptedWork(dir.file("D")), Recovery::Discarded);
    EXPECT_EQ(snapshot(dir.file("D")), replaced);
  }
}

// A member's name taken by another program while the package moves in is not Vesk's to
// move away: the earlier member that would go back there stays aside with the journal,
// nothing is removed, and the run says so. Once the way is free, the next run puts the
// earlier package back whole.
TEST_F(PackageReplace, AnEarlierMemberWhoseNameWasTakenMeanwhileStaysAside) {
  makeEarlierAndExpected();
  const BuildReport report = replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr,
                                            [&](int, const std::string& what) {
                                              if (what == "move in 00")
                                                dir.write("D/00/desktop.ini", "another program's");
                                              return true;
                                            });
  EXPECT_EQ(report.status, BuildStatus::Stopped);
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].rfind(kSwapUndoFailedMessage, 0), 0u) << sink.messages[0];
  EXPECT_NE(sink.messages[0].find(dir.file("D/00") + "\n"), std::string::npos)
      << "the move that failed is named with the system's reason: " << sink.messages[0];
  EXPECT_TRUE(fs::exists(dir.file("D/.vesk-staging/.vesk-journal")));
  EXPECT_TRUE(fs::exists(dir.file("D/.vesk-staging/.vesk-previous/00/a.nuv")));
  EXPECT_EQ(dir.read("D/00/desktop.ini"), "another program's");

  EXPECT_EQ(recoverInterruptedWork(dir.file("D")), Recovery::Failed) << "the way is still taken";
  fs::remove_all(dir.file("D/00"));
  EXPECT_EQ(recoverInterruptedWork(dir.file("D")), Recovery::RolledBack);
  EXPECT_EQ(snapshot(dir.file("D")), earlier);
}

TEST_F(PackageReplace, AKilledCreateIntoANewFolderLeavesNothingOrTheWholePackage) {
  makeEarlierAndExpected();
  ASSERT_EQ(createPackage(request({"c", "b", "a"}, "X"), sink).status, BuildStatus::Written);
  const auto made = snapshot(dir.file("X"));
  const auto steps = stepsOf([&](const StepHook& hook) {
    createPackageStepwise(request({"c", "b", "a"}, "P/new"), sink, nullptr, hook);
  });
  ASSERT_GE(steps.size(), 14u);
  std::vector<std::string> table;
  for (std::size_t kill = 0; kill < steps.size(); ++kill) {
    std::string row = std::to_string(kill) + " " + steps[kill] + ":";
    for (const NextRun next : {NextRun::Plain, NextRun::Replace, NextRun::FromEarlier}) {
      SCOPED_TRACE("killed before step " + std::to_string(kill) + " (" + steps[kill] + "), then " +
                   nameOf(next));
      dir.clear();
      SetUp();
      makeEarlierAndExpected();
      EXPECT_EQ(createPackageStepwise(
                    request({"c", "b", "a"}, "P/new"), sink, nullptr,
                    [&](int step, const std::string&) { return step != static_cast<int>(kill); })
                    .status,
                BuildStatus::Stopped);
      EXPECT_TRUE(sink.messages.empty()) << "a killed run says nothing";

      ASSERT_TRUE(recoverBeforeRun(dir.file("P/new"), sink));
      const bool whole = fs::exists(dir.file("P/new/exhibition.nuv"));
      if (whole) {
        EXPECT_EQ(snapshot(dir.file("P/new")), made);
      } else {
        EXPECT_TRUE(!fs::exists(dir.file("P/new")) || fs::is_empty(dir.file("P/new")));
      }
      if (next == NextRun::Plain) row += whole ? " new" : " nothing";

      switch (next) {
        case NextRun::Plain:
          // A plain build is refused only by a package that is whole.
          EXPECT_EQ(nextBuild(request({"c", "b", "a"}, "P/new"), false, sink),
                    whole ? BuildStatus::Refused : BuildStatus::Written);
          EXPECT_EQ(snapshot(dir.file("P/new")), made);
          break;
        case NextRun::Replace:
          EXPECT_EQ(nextBuild(request({"c", "b", "a"}, "P/new"), true, sink), BuildStatus::Written);
          EXPECT_EQ(snapshot(dir.file("P/new")), made);
          break;
        case NextRun::FromEarlier: {
          EntryList list;
          reimportPackage(dir.file("D/exhibition.nuv"), list, sink);
          CreateRequest from{list.entries(), dir.file("P/new"), dir.file("program")};
          EXPECT_EQ(nextBuild(from, true, sink), BuildStatus::Written);
          EXPECT_TRUE(verifyPackage(dir.file("P/new/exhibition.nuv")).empty());
          EXPECT_EQ(snapshot(dir.file("D")), earlier);
          break;
        }
      }
    }
    table.push_back(row);
  }
  printTable("create of 3 entries into a new folder: killed before step -> after recovery", table);
}

// Button images already at the top of a folder that holds no package are written
// over: a kill at any step of the create leaves them as they were or the whole new
// package, and a create that ends removes them only with the new package in place.
TEST_F(PackageReplace, ButtonImagesInTheWayAreWrittenOverWholeOrNotAtAll) {
  makeEarlierAndExpected();
  ASSERT_EQ(createPackage(request({"c", "b", "a"}, "X"), sink).status, BuildStatus::Written);
  const auto made = snapshot(dir.file("X"));
  const auto someones = [&] {
    dir.write("P/up.jpg", "someone's up");
    dir.write("P/down.jpg", "someone's down");
    return snapshot(dir.file("P"));
  };
  const auto before = someones();
  const auto steps = stepsOf([&](const StepHook& hook) {
    createPackageStepwise(request({"c", "b", "a"}, "P"), sink, nullptr, hook);
  });
  EXPECT_EQ(snapshot(dir.file("P")), made);
  for (std::size_t kill = 0; kill < steps.size(); ++kill) {
    SCOPED_TRACE("killed before step " + std::to_string(kill) + " (" + steps[kill] + ")");
    dir.clear();
    SetUp();
    makeEarlierAndExpected();
    someones();
    EXPECT_EQ(createPackageStepwise(
                  request({"c", "b", "a"}, "P"), sink, nullptr,
                  [&](int step, const std::string&) { return step != static_cast<int>(kill); })
                  .status,
              BuildStatus::Stopped);
    // The check looks at what the recovery will leave: the operator's pictures, or the
    // whole package, which only then refuses a plain create.
    const bool complete = pendingRecovery(dir.file("P")) == Recovery::Completed ||
                          fs::exists(dir.file("P/exhibition.nuv"));
    const CheckRequest check = checkRequest({"c", "b", "a"}, "P", false);
    const auto problems = checkPackage(check);
    EXPECT_EQ(hasCheckErrors(problems), complete) << checkReportText(problems);
    ASSERT_TRUE(recoverBeforeRun(dir.file("P"), sink));
    const auto after = snapshot(dir.file("P"));
    EXPECT_TRUE(after == before || after == made);
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
  replacePackage(counted, sink, nullptr, [&](int, const std::string&) { return ++steps > 0; });
  ASSERT_GT(steps, 10);
  for (int kill = 0; kill < steps; ++kill) {
    SCOPED_TRACE("killed before step " + std::to_string(kill));
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth());
    CreateRequest again = request({"c", "b", "a"}, "D");
    again.writeReport = true;
    replacePackage(again, sink, nullptr,
                   [&](int step, const std::string&) { return step != kill; });
    recoverInterruptedWork(dir.file("D"));
    const auto after = withReportCounts(snapshot(dir.file("D")));
    EXPECT_TRUE(after == earlier || after == replaced);
  }
}

TEST_F(PackageReplace, LeftoversOfAKilledBuildAreRemovedByTheNextRun) {
  makeEarlierAndExpected();
  const auto leftover = [&] {
    dir.write("D/.vesk-staging/.vesk-working-folder", "marker");
    dir.write("D/.vesk-staging/.vesk-lock", "");
    dir.write("D/.vesk-staging/00/half.raw", "half copied");
  };
  leftover();
  EXPECT_EQ(recoverInterruptedWork(dir.file("D")), Recovery::Discarded);
  EXPECT_EQ(snapshot(dir.file("D")), earlier);

  leftover();
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
  operations.flush = [&](const std::string& folder) -> Status {
    flushed.push_back(folder);
    if (flushed.size() == 1) return {};  // the staged copies, then the swap
    return makeFailure(FailureCode::WriteFailed, folder, EIO);
  };
  CreateRequest replace = request({"c", "b", "a"}, "D");
  replace.operations = &operations;
  EXPECT_EQ(replacePackage(replace, sink).status, BuildStatus::Stopped);
  ASSERT_EQ(flushed.size(), 2u);
  EXPECT_EQ(flushed.back(), dir.file("D"));
  EXPECT_EQ(sink.kinds.back(), MessageKind::Error);
  EXPECT_TRUE(fs::exists(dir.file("D/.vesk-staging/.vesk-previous/00")));

  EXPECT_EQ(recoverInterruptedWork(dir.file("D")), Recovery::Completed);
  EXPECT_EQ(snapshot(dir.file("D")), replaced);
}

// A data folder a scene names may be empty: the package holds it empty, and it is the
// package's own, so that the package can be replaced (the check saying so too).
TEST_F(PackageReplace, APackageHoldingAnEmptyDataFolderIsReplaced) {
  dir.write("src/a/a.nuv",
            "<data name=\"ct\" type=\"volume\" ><file type=\"dicom\" path=\"vol\\\" /></data>\r\n"
            "<drawGroup name=\"aSur\" ></drawGroup>\r\n");
  dir.makeFolder("src/a/vol");
  fs::create_directories(dir.file("D"));
  ASSERT_EQ(createPackage(request({"a"}, "D"), sink).status, BuildStatus::Written);
  ASSERT_TRUE(fs::is_empty(dir.file("D/00/vol")));
  EXPECT_FALSE(hasCheckErrors(checkPackage(checkRequest({"b", "a"}, "D", true))));
  EXPECT_EQ(replacePackage(request({"b", "a"}, "D"), sink).status, BuildStatus::Written)
      << ::testing::PrintToString(sink.messages);
  EXPECT_TRUE(fs::is_empty(dir.file("D/01/vol")));
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
  EXPECT_EQ(dir.read("D/07/keep.txt"), "an old folder the new package does not have");
}

// The list kept after such a replace names the copies the replace made, so a second
// create of the same list makes the same package (the earlier files it named are gone,
// or hold another entry's copy).
TEST_F(PackageReplace, EntriesReadBackNameTheirCopiesOnceTheReplaceIsWritten) {
  makeEarlierAndExpected();
  EntryList list;
  reimportPackage(dir.file("D/exhibition.nuv"), list, sink);
  ASSERT_EQ(list.size(), 2u);
  std::vector<ExhibitionEntry> kept(list.entries().rbegin(), list.entries().rend());
  kept[1].thumbnailPath = dir.file("src/c/t.jpg");  // one path from outside stays as it is
  const auto replaceWith = [&](const std::vector<ExhibitionEntry>& entries) {
    CheckRequest check;
    check.entries = entries;
    check.destination = dir.file("D");
    check.programFolder = dir.file("program");
    check.replacing = true;
    check.windowsNames = false;
    CreateRequest create{entries, dir.file("D"), dir.file("program")};
    create.plan = std::make_shared<const PackagePlan>(planPackage(check));
    EXPECT_EQ(replacePackage(create, sink).status, BuildStatus::Written);
    return entriesAfterCreate(*create.plan, entries, dir.file("D"));
  };
  kept = replaceWith(kept);
  const auto first = test::snapshot(dir.file("D"));
  EXPECT_EQ(kept[0].scenePath, dir.file("D/00/b.nuv"));
  EXPECT_EQ(kept[1].descriptionPath, dir.file("D/01/d.png"));
  EXPECT_EQ(kept[1].thumbnailPath, dir.file("src/c/t.jpg"));

  replaceWith(kept);
  auto second = test::snapshot(dir.file("D"));
  EXPECT_EQ(second, first);
}

}  // namespace
}  // namespace vesk
