#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/file_stamp.h"
#include "messages/messages.h"
#include "package/kept_folders.h"
#include "package/package_check.h"
#include "package/package_replace.h"
#include "package/package_swap.h"
#include "package/package_verify.h"
#include "package/recovery_report.h"
#include "package/replace_journal.h"
#include "package/scene_files.h"
#include "replace_fixture.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using test::snapshot;

// A replace of a and b by a and c: entry 00 holds the same files before and after.
// Every source was made long ago, so the copy record trusts the copies of them.
class KeptEntryFolder : public test::PackageReplace {
 public:
  void SetUp() override {
    PackageReplace::SetUp();
    dir.write("src/a/vol/1.raw", "slice 1");
    dir.write("src/a/vol/2.raw", "slice 2");
    dir.write("src/a/a.nuv",
              "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n"
              "<data name=\"ct\" type=\"volume\" ><file type=\"dicom\" path=\"vol\\\" /></data>\r\n"
              "<drawGroup name=\"aSur\" ></drawGroup>\r\n");
    for (const char* folder : {"src", "program"}) {
      for (const auto& item : fs::recursive_directory_iterator(dir.file(folder))) {
        if (item.is_regular_file()) {
          fs::last_write_time(item.path(),
                              fs::file_time_type::clock::now() - std::chrono::hours(1));
        }
      }
    }
  }

  void makeBoth(const std::vector<std::string>& before = {"a", "b"},
                const std::vector<std::string>& after = {"a", "c"}) {
    fs::create_directories(dir.file("D"));
    ASSERT_EQ(createPackage(request(before, "D"), sink).status, BuildStatus::Written)
        << ::testing::PrintToString(sink.messages);
    dir.write("D/notes.txt", "the operator's own");
    fs::create_directories(dir.file("N"));
    ASSERT_EQ(createPackage(request(after, "N"), sink).status, BuildStatus::Written);
    dir.write("N/notes.txt", "the operator's own");
    earlier = snapshot(dir.file("D"));
    replaced = snapshot(dir.file("N"));
    sink.messages.clear();
    sink.kinds.clear();
  }

  std::uint64_t fileNumber(const std::string& relative) const {
    const auto stamp = fileStampOf(dir.file(relative));
    return stamp ? stamp->file : 0;
  }

  std::vector<std::string> stepsOfReplace(const std::vector<std::string>& after = {"a", "c"}) {
    std::vector<std::string> steps;
    replacePackage(request(after, "D"), sink, nullptr, [&](int, const std::string& what) {
      steps.push_back(what);
      return true;
    });
    return steps;
  }
};

TEST_F(KeptEntryFolder, AnUnchangedEntryFolderIsNeitherRebuiltNorMoved) {
  ASSERT_NO_FATAL_FAILURE(makeBoth());
  const std::uint64_t volume = fileNumber("D/00/vol/1.raw");
  std::string journal;
  const auto steps = [&] {
    std::vector<std::string> seen;
    const BuildReport report =
        replacePackage(request({"a", "c"}, "D"), sink, nullptr, [&](int, const std::string& what) {
          if (what == "make the aside folder") journal = dir.read("D/.vesk-staging/.vesk-journal");
          seen.push_back(what);
          return true;
        });
    EXPECT_EQ(report.status, BuildStatus::Written);
    // 00's six files kept, both buttons linked.
    EXPECT_EQ(report.filesReused, 8u);
    return seen;
  }();
  EXPECT_EQ(snapshot(dir.file("D")), replaced);
  EXPECT_EQ(fileNumber("D/00/vol/1.raw"), volume);
  for (const auto& step : steps) {
    EXPECT_EQ(step.find(" 00"), std::string::npos) << step;
  }
  EXPECT_NE(journal.find("\nkept 00\n"), std::string::npos) << journal;
  EXPECT_EQ(journal.find("earlier 00\n"), std::string::npos) << journal;
  EXPECT_TRUE(verifyPackage(dir.file("D/exhibition.nuv")).empty());

  // Again at once: both folders are kept now, and only the document and the top
  // files are new.
  std::vector<std::string> second;
  replacePackage(request({"a", "c"}, "D"), sink, nullptr, [&](int, const std::string& what) {
    second.push_back(what);
    return true;
  });
  EXPECT_EQ(snapshot(dir.file("D")), replaced);
  for (const auto& step : second) {
    EXPECT_EQ(step.find(" 01"), std::string::npos) << step;
  }
}

// The document of a replace that keeps some folders and builds others between them
// merges each scene where it stands: byte for byte the document of a create.
TEST_F(KeptEntryFolder, KeptAndRebuiltFoldersMakeTheDocumentACreateMakes) {
  fs::create_directories(dir.file("D"));
  ASSERT_EQ(createPackage(request({"a", "b", "c"}, "D"), sink).status, BuildStatus::Written);
  dir.write("src/b/v.raw", "volume b, changed");
  fs::create_directories(dir.file("N"));
  ASSERT_EQ(createPackage(request({"a", "b", "c"}, "N"), sink).status, BuildStatus::Written);
  const BuildReport report = replacePackage(request({"a", "b", "c"}, "D"), sink);
  ASSERT_EQ(report.status, BuildStatus::Written) << ::testing::PrintToString(sink.messages);
  EXPECT_GE(report.filesReused, 2u * 4u);  // 00 and 02 kept whole
  EXPECT_EQ(dir.read("D/01/v.raw"), "volume b, changed");
  EXPECT_EQ(dir.read("D/exhibition.nuv"), dir.read("N/exhibition.nuv"));
  EXPECT_TRUE(verifyPackage(dir.file("D/exhibition.nuv")).empty());
}

// What the earlier package's manifest does not list as a file Vesk wrote, anywhere in
// an entry folder, is not Vesk's to remove: it stops the replace before it starts,
// named, and stays where it is.
TEST_F(KeptEntryFolder, AnythingTheManifestDoesNotListStopsTheReplace) {
  struct Case {
    const char* what;
    const char* path;
    void (*change)(test::TempDir&);
  };
  const Case cases[] = {
      {"an operator's slice in a data folder", "D/00/vol/3.raw",
       [](test::TempDir& d) { d.write("D/00/vol/3.raw", "an operator's slice"); }},
      {"another scene file beside the entry's", "D/00/backup.nuv",
       [](test::TempDir& d) { d.write("D/00/backup.nuv", "an operator's backup"); }},
#ifndef _WIN32
      {"a copy that became a link", "D/00/v.raw",
       [](test::TempDir& d) {
         fs::remove(d.file("D/00/v.raw"));
         fs::create_symlink(d.file("src/a/v.raw"), d.file("D/00/v.raw"));
       }},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth());
    c.change(dir);
    const auto before = snapshot(dir.file("D"));
    const BuildReport report = replacePackage(request({"a", "c"}, "D"), sink);
    EXPECT_NE(report.status, BuildStatus::Written);
    const std::string messages = ::testing::PrintToString(sink.messages);
    EXPECT_NE(messages.find(dir.file(c.path)), std::string::npos) << messages;
    EXPECT_EQ(snapshot(dir.file("D")), before);
    EXPECT_EQ(dir.read("src/a/v.raw"), "volume a") << "a link is never followed";
  }
}

// What keeps a folder from being kept: it is then built anew.
TEST_F(KeptEntryFolder, AFolderHoldingAnythingElseOrChangedIsBuiltAnew) {
  struct Case {
    const char* what;
    void (*change)(test::TempDir&);
  };
  const Case cases[] = {
      {"a copy touched after the record",
       [](test::TempDir& d) { d.write("D/00/vol/1.raw", d.read("D/00/vol/1.raw")); }},
      {"a source changed since the copy",
       [](test::TempDir& d) { d.write("src/a/vol/2.raw", "n"); }},
      // In place, as cp -p onto it or touch -r after an edit leaves it.
      {"a source rewritten with its size and time put back",
       [](test::TempDir& d) {
         const std::string path = d.file("src/a/vol/2.raw");
         const auto time = fs::last_write_time(path);
         std::string bytes = d.read("src/a/vol/2.raw");
         bytes.front() = static_cast<char>(bytes.front() ^ 1);
         d.write("src/a/vol/2.raw", bytes);
         fs::last_write_time(path, time);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth());
    c.change(dir);
    fs::remove_all(dir.file("N"));
    fs::create_directories(dir.file("N"));
    ASSERT_EQ(createPackage(request({"a", "c"}, "N"), sink).status, BuildStatus::Written);
    dir.write("N/notes.txt", "the operator's own");
    replaced = snapshot(dir.file("N"));

    std::vector<std::string> steps;
    const BuildReport report =
        replacePackage(request({"a", "c"}, "D"), sink, nullptr, [&](int, const std::string& what) {
          steps.push_back(what);
          return true;
        });
    EXPECT_EQ(report.status, BuildStatus::Written) << ::testing::PrintToString(sink.messages);
    EXPECT_EQ(snapshot(dir.file("D")), replaced);
    EXPECT_NE(std::find(steps.begin(), steps.end(), "move in 00"), steps.end());
    EXPECT_EQ(dir.read("src/a/v.raw"), "volume a") << "a link is never followed";
  }
}

// The next build after a kill: recovery, the check, then the replace asked for.
BuildStatus nextReplace(const CreateRequest& request, MessageSink& sink) {
  if (!recoverBeforeRun(request.destination, sink)) return BuildStatus::Refused;
  CheckRequest check;
  check.entries = request.entries;
  check.destination = request.destination;
  check.replacing = true;
  check.programFolder = request.programFolder;
  if (hasCheckErrors(checkPackage(check))) return BuildStatus::Refused;
  return replacePackage(request, sink).status;
}

// A kill before every step of a replace that keeps folders (00 in place; a, b and c
// moving to other numbers; a new entry built under the number an earlier one left),
// and before every step of the recovery that follows it: each leaves the earlier or
// the new package, whole, and the next replace ends with the new one.
TEST_F(KeptEntryFolder, AKillAtAnyStepOfTheReplaceOrItsRecoveryLeavesOneWholePackage) {
  struct Case {
    std::vector<std::string> before, after;
  };
  const Case cases[] = {{{"a", "b"}, {"a", "c"}},
                        {{"a", "b", "c"}, {"c", "a"}},
                        {{"a", "b"}, {"c", "a", "b"}},
                        {{"a", "b"}, {"b", "c"}}};
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth(c.before, c.after));
    const auto steps = stepsOfReplace(c.after);
    ASSERT_GE(steps.size(), 12u);
    const auto swapStarts = std::find(steps.begin(), steps.end(), "write the journal");
    ASSERT_NE(swapStarts, steps.end());
    for (std::size_t kill = 0; kill < steps.size(); ++kill) {
      // Before the journal, the recovery only removes the working folder.
      const int recoveryKills = kill > static_cast<std::size_t>(swapStarts - steps.begin()) ? 3 : 0;
      for (int recoveryKill = -1; recoveryKill < recoveryKills; ++recoveryKill) {
        SCOPED_TRACE(::testing::PrintToString(c.after) + " killed before step " +
                     std::to_string(kill) + " (" + steps[kill] + "), its recovery before step " +
                     std::to_string(recoveryKill));
        // The earlier package again; the new one made apart stays in `replaced`.
        dir.clear();
        SetUp();
        fs::create_directories(dir.file("D"));
        ASSERT_EQ(createPackage(request(c.before, "D"), sink).status, BuildStatus::Written);
        dir.write("D/notes.txt", "the operator's own");
        const BuildReport killed = replacePackage(
            request(c.after, "D"), sink, nullptr,
            [&](int step, const std::string&) { return step != static_cast<int>(kill); });
        EXPECT_EQ(killed.status, BuildStatus::Stopped);
        if (recoveryKill >= 0) {
          recoverInterruptedWork(
              dir.file("D"), [&](int step, const std::string&) { return step != recoveryKill; });
        }
        const Recovery recovery = recoverInterruptedWork(dir.file("D"));
        EXPECT_NE(recovery, Recovery::Failed);
        const auto after = snapshot(dir.file("D"));
        EXPECT_TRUE(after == earlier || after == replaced);
        EXPECT_EQ(recoverInterruptedWork(dir.file("D")), Recovery::NothingFound);
        EXPECT_EQ(snapshot(dir.file("D")), after) << "a second recovery changes nothing";
        if (recoveryKill < 0) {
          EXPECT_EQ(nextReplace(request(c.after, "D"), sink), BuildStatus::Written);
          EXPECT_EQ(snapshot(dir.file("D")), replaced);
        }
      }
    }
  }
}

// After a kill, the operator puts a folder of their own at a number an earlier entry was
// to be renamed to, before the rename was made, or, once every rename was made, at a
// renamed entry's old number: the recovery never takes it for the renamed entry, so it
// is neither moved nor removed. A recovery it blocks puts nothing back and names it, as
// the check did before.
TEST_F(KeptEntryFolder, AFolderPutAtARenamedEntrysNumberAfterAKillIsLeftAlone) {
  struct Case {
    std::vector<std::string> before, after;
  };
  const Case cases[] = {{{"a", "b"}, {"c", "a", "b"}}, {{"a", "b", "c"}, {"c", "a"}}};
  for (const Case& c : cases) {
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth(c.before, c.after));
    const auto steps = stepsOfReplace(c.after);
    // {step killed before, where the operator's folder goes}: before "rename 00 to 01"
    // at 01; before the first "move in", at each renamed folder's old number.
    std::vector<std::pair<std::size_t, std::string>> placements;
    for (std::size_t step = 0; step < steps.size(); ++step) {
      if (steps[step].rfind("rename ", 0) == 0) {
        placements.emplace_back(step, steps[step].substr(steps[step].size() - 2));
      }
    }
    const auto firstIn = std::find_if(steps.begin(), steps.end(), [](const std::string& s) {
      return s.rfind("move in ", 0) == 0;
    });
    ASSERT_NE(firstIn, steps.end());
    for (const auto& step : steps) {
      if (step.rfind("rename ", 0) == 0) {
        placements.emplace_back(firstIn - steps.begin(), step.substr(7, 2));
      }
    }
    for (const auto& [kill, target] : placements) {
      SCOPED_TRACE(::testing::PrintToString(c.after) + " killed before " + steps[kill] + ", " +
                   target + " taken");
      dir.clear();
      SetUp();
      fs::create_directories(dir.file("D"));
      ASSERT_EQ(createPackage(request(c.before, "D"), sink).status, BuildStatus::Written);
      (void)replacePackage(request(c.after, "D"), sink, nullptr, [&](int step, const std::string&) {
        return step != static_cast<int>(kill);
      });
      if (fs::exists(dir.file("D/" + target))) continue;
      dir.write("D/" + target + "/mine.txt", "the operator's");
      CheckRequest check;
      check.entries = request(c.after, "D").entries;
      check.destination = dir.file("D");
      check.replacing = true;
      check.programFolder = VESK_PROGRAM_DIR;
      const std::string checked = checkReportText(checkPackage(check));
      const auto notice = interruptedWorkNotice(dir.file("D/exhibition.nuv"));
      sink.messages.clear();
      const bool recovered = recoverBeforeRun(dir.file("D"), sink);
      EXPECT_EQ(dir.read("D/" + target + "/mine.txt"), "the operator's");
      if (recovered) {
        EXPECT_TRUE(fs::exists(dir.file("D/exhibition.nuv")));
      } else {
        EXPECT_FALSE(fs::exists(dir.file("D/exhibition.nuv"))) << "nothing put back";
        // The run and the check before it name what is in the way.
        EXPECT_NE(sink.messages.back().find(dir.file("D/" + target)), std::string::npos)
            << sink.messages.back();
        EXPECT_NE(checked.find(dir.file("D/" + target)), std::string::npos) << checked;
        ASSERT_TRUE(notice.has_value());
        EXPECT_EQ(notice->text, sink.messages.back()) << "verify and re-import say the same";
      }
    }
  }
}

// After a kill at any step of a replace, the operator puts a file of their own into an
// entry folder at the top of the destination, or into an earlier entry folder the new
// package takes, wherever the kill left it (in place, set aside, renamed), also with
// the new package's manifest removed: the check before the next run predicts that run,
// which refuses while the file is where the undo or the replace would take it away,
// and the file is never removed.
TEST_F(KeptEntryFolder, AFileAddedToAnEntryFolderAfterAKillIsForeseenAndKept) {
  struct Case {
    std::vector<std::string> before, after;
  };
  // Entries renamed whole, and a new one built under the number an earlier one left.
  for (const Case& c : {Case{{"a", "b", "c"}, {"c", "a"}}, Case{{"a", "b"}, {"c", "a", "b"}}}) {
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth(c.before, c.after));
    const auto steps = stepsOfReplace(c.after);
    enum class What { File, FileWithoutManifest };
    const auto firstIn = std::find_if(steps.begin(), steps.end(), [](const std::string& s) {
      return s.rfind("move in ", 0) == 0;
    });
    for (std::size_t kill = 0; kill < steps.size(); ++kill) {
      for (const What what : {What::File, What::FileWithoutManifest}) {
        // Without the manifest only once new folders are moving in.
        if (what != What::File && steps.begin() + static_cast<std::ptrdiff_t>(kill) <= firstIn) {
          continue;
        }
        // Where the file goes: each numbered folder at the top, then each earlier folder
        // the new package takes, found by its scene's file.
        for (std::size_t place = 0;; ++place) {
          dir.clear();
          SetUp();
          fs::create_directories(dir.file("D"));
          ASSERT_EQ(createPackage(request(c.before, "D"), sink).status, BuildStatus::Written);
          std::vector<std::uint64_t> scenes;
          for (std::size_t i = 0; i < c.before.size(); ++i) {
            const bool taken =
                std::find(c.after.begin(), c.after.end(), c.before[i]) != c.after.end();
            if (taken)
              scenes.push_back(fileNumber("D/0" + std::to_string(i) + "/" + c.before[i] + ".nuv"));
          }
          (void)replacePackage(
              request(c.after, "D"), sink, nullptr,
              [&](int step, const std::string&) { return step != static_cast<int>(kill); });
          std::vector<std::string> folders;  // the numbered folders at the top first
          for (const auto& name : dir.names("D")) {
            if (name.size() == 2 && fs::is_directory(dir.file("D/" + name)))
              folders.push_back(dir.file("D/" + name));
          }
          const std::size_t top = folders.size();
          for (const std::uint64_t scene : scenes) {
            for (const auto& item : fs::recursive_directory_iterator(dir.path())) {
              if (item.is_regular_file() &&
                  fileNumber(fs::relative(item.path(), dir.path()).string()) == scene) {
                folders.push_back(item.path().parent_path().string());
              }
            }
          }
          if (place >= folders.size()) break;
          // Without the manifest at the top only.
          if (what != What::File && place >= top) break;
          SCOPED_TRACE(::testing::PrintToString(c.after) + " killed before " + steps[kill] + ", " +
                       std::to_string(static_cast<int>(what)) + " put into " + folders[place]);
          { std::ofstream(fs::path(folders[place]) / "mine.txt") << "the operator's"; }
          if (what == What::FileWithoutManifest && fs::exists(dir.file("D/exhibition.sha256")) &&
              dir.read("D/exhibition.sha256") == replaced.at("exhibition.sha256")) {
            fs::remove(dir.file("D/exhibition.sha256"));
          }
          CheckRequest check;
          check.entries = request(c.after, "D").entries;
          check.destination = dir.file("D");
          check.replacing = true;
          check.programFolder = VESK_PROGRAM_DIR;
          const auto problems = checkPackage(check);
          const BuildStatus next = nextReplace(request(c.after, "D"), sink);
          EXPECT_EQ(hasCheckErrors(problems), next != BuildStatus::Written)
              << checkReportText(problems) << ::testing::PrintToString(sink.messages);
          std::string lies;  // where the operator's file is after the next run
          for (const auto& item : fs::recursive_directory_iterator(dir.file("D"))) {
            if (item.path().filename() == "mine.txt") lies = item.path().string();
          }
          EXPECT_FALSE(lies.empty()) << "the operator's file is never removed";
          if (next != BuildStatus::Written && !lies.empty()) {
            EXPECT_NE(checkReportText(problems).find(lies), std::string::npos)
                << lies << "\n"
                << checkReportText(problems);
          }
          sink.messages.clear();
        }
      }
    }
  }
}

// The operator removes the first entry: every later one moves up a number, each folder
// renamed whole, and swaps two entries.
TEST_F(KeptEntryFolder, AnEntryThatMovedIsItsEarlierFolderRenamed) {
  for (const auto& [before, after] :
       std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>>{
           {{"a", "b", "c"}, {"b", "c"}}, {{"a", "b", "c"}, {"b", "a", "c"}}}) {
    SCOPED_TRACE(::testing::PrintToString(after));
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth(before, after));
    std::map<std::string, std::uint64_t> scenes;
    for (std::size_t i = 0; i < before.size(); ++i) {
      scenes[before[i]] = fileNumber("D/0" + std::to_string(i) + "/" + before[i] + ".nuv");
    }
    std::vector<std::string> steps;
    std::string journal;
    const BuildReport report =
        replacePackage(request(after, "D"), sink, nullptr, [&](int, const std::string& what) {
          if (what == "make the aside folder") journal = dir.read("D/.vesk-staging/.vesk-journal");
          steps.push_back(what);
          return true;
        });
    ASSERT_EQ(report.status, BuildStatus::Written) << ::testing::PrintToString(sink.messages);
    EXPECT_EQ(snapshot(dir.file("D")), replaced);
    EXPECT_TRUE(verifyPackage(dir.file("D/exhibition.nuv")).empty());
    for (std::size_t i = 0; i < after.size(); ++i) {
      const std::string name = "0" + std::to_string(i);
      EXPECT_EQ(fileNumber("D/" + name + "/" + after[i] + ".nuv"), scenes[after[i]]) << name;
    }
    EXPECT_NE(journal.find("\nmoved 01 00\n"), std::string::npos) << journal;
    EXPECT_NE(std::find(steps.begin(), steps.end(), "rename 01 to 00"), steps.end());
  }
}

// The report page of a replace that keeps and renames folders shows what a create of
// the same entries shows: its pictures, scenes, data and totals found where they lie.
TEST_F(KeptEntryFolder, TheReportOfAReplaceThatKeepsFoldersIsTheReportOfTheNewPackage) {
  fs::create_directories(dir.file("D"));
  fs::create_directories(dir.file("N/D"));
  for (const auto& [entries, folder] :
       std::vector<std::pair<std::vector<std::string>, std::string>>{{{"a", "b", "c"}, "D"},
                                                                     {{"c", "b"}, "N/D"}}) {
    CreateRequest create = request(entries, folder);
    create.writeReport = true;
    ASSERT_EQ(createPackage(create, sink).status, BuildStatus::Written);
  }
  CreateRequest replace = request({"c", "b"}, "D");
  replace.writeReport = true;
  std::string journal;
  ASSERT_EQ(replacePackage(replace, sink, nullptr,
                           [&](int, const std::string& what) {
                             if (what == "make the aside folder") {
                               journal = dir.read("D/.vesk-staging/.vesk-journal");
                             }
                             return true;
                           })
                .status,
            BuildStatus::Written);
  EXPECT_NE(journal.find("\nkept 01\nmoved 02 00\n"), std::string::npos) << journal;
  // The time it was made aside.
  const auto page = [&](const std::string& folder) {
    std::string text = dir.read(folder + "/vesk-report.html");
    const std::size_t year = text.find("<td>20");
    if (year != std::string::npos) text.erase(year, 20);
    return text;
  };
  EXPECT_EQ(page("D"), page("N/D"));
}

// The keep decision takes the state of a source from the plan only when the replace
// made that plan itself and the plan did not read the source after looking at it;
// otherwise it looks again. A source changed in between keeps nothing: the folder is
// built anew, whose copy finds the change and stops the replace, as a create stops.
TEST_F(KeptEntryFolder, ASourceChangedAfterThePlanLookedAtItKeepsNothing) {
  struct Case {
    const char* what;
    const char* changed;  // below src/a
    bool checkedFirst;    // the plan is the check's, made before the replace
  };
  const Case cases[] = {
      {"a data slice changed after the check the operator saw", "vol/2.raw", true},
      {"the scene changed while the replace's own plan read it", "a.nuv", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth());
    const std::string relative = std::string("src/a/") + c.changed;
    const std::string changed = dir.file(relative);
    // Rewritten with the same bytes: only its time tells.
    const auto change = [&] { dir.write(relative, dir.read(relative)); };
    CreateRequest replace = request({"a", "c"}, "D");
    bool read = false;
    replace.readScene = [&](const std::string& path) {
      if (!c.checkedFirst && path == changed && !read) change();
      read = read || path == changed;
      return readSceneLines(path);
    };
    if (c.checkedFirst) {
      CheckRequest check;
      check.entries = replace.entries;
      check.destination = replace.destination;
      check.replacing = true;
      check.programFolder = replace.programFolder;
      replace.plan = std::make_shared<const PackagePlan>(planPackage(check));
      change();
    }
    EXPECT_EQ(replacePackage(replace, sink).status, BuildStatus::Stopped);
    EXPECT_NE(
        std::find(sink.messages.begin(), sink.messages.end(), kSourceChangedMessage + changed),
        sink.messages.end())
        << ::testing::PrintToString(sink.messages);
    EXPECT_EQ(snapshot(dir.file("D")), earlier);
  }
}

// A kept folder changed after the keep decision stops the replace with its path, and
// nothing of it is removed: a picture (which the create's own verify does not measure
// again), or a file the operator put there (which the second look for obstacles leaves
// to that verify, since the swap leaves the folder where it is).
TEST_F(KeptEntryFolder, AKeptFolderChangedDuringTheBuildStopsTheReplace) {
  struct Case {
    const char* what;
    const char* path;
    void (*change)(test::TempDir&);
  };
  const Case cases[] = {
      {"a picture replaced", "D/00/t.jpg",
       [](test::TempDir& d) {
         d.copyFrom(std::string(VESK_TEST_DATA_DIR) + "/pictures/portrait-480x640.png",
                    "D/00/t.jpg");
       }},
      {"an operator's file added", "D/00/vol/notes.txt",
       [](test::TempDir& d) { d.write("D/00/vol/notes.txt", "the operator's own"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    dir.clear();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(makeBoth());
    const BuildReport report =
        replacePackage(request({"a", "c"}, "D"), sink, nullptr, [&](int, const std::string& what) {
          if (what == "build the new package") c.change(dir);
          return true;
        });
    EXPECT_NE(report.status, BuildStatus::Written);
    const std::string messages = ::testing::PrintToString(sink.messages);
    EXPECT_NE(messages.find(dir.file(c.path)), std::string::npos) << messages;
    EXPECT_TRUE(fs::exists(dir.file(c.path)));
    EXPECT_FALSE(fs::exists(dir.file("D/.vesk-staging")));
    EXPECT_TRUE(fs::exists(dir.file("D/01/b.nuv"))) << "the earlier package stays";
  }
}

TEST_F(KeptEntryFolder, AKeptFolderChangedWhileTheNewPackageIsBuiltFailsItsVerify) {
  ASSERT_NO_FATAL_FAILURE(makeBoth());
  CheckRequest check;
  check.entries = entries({"a", "c"});
  check.destination = dir.file("D");
  check.replacing = true;
  check.programFolder = dir.file("program");
  const PackagePlan plan = planPackage(check);
  const auto kept = keptEntryFolders(plan, dir.file("D"));
  ASSERT_EQ(keptFolderNames(kept), std::vector<std::string>{"00"});
  EXPECT_TRUE(keptFolderProblems(dir.file("D"), kept).empty());
  const auto faultsAfter = [&](void (*change)(test::TempDir&)) {
    change(dir);
    std::vector<PackageFault> faults;
    for (const auto& problem : keptFolderProblems(dir.file("D"), kept)) {
      faults.push_back(problem.fault);
    }
    std::sort(faults.begin(), faults.end());
    return faults;
  };
  EXPECT_EQ(faultsAfter([](test::TempDir& d) { d.write("D/00/vol/3.raw", "x"); }),
            std::vector<PackageFault>{PackageFault::ContentUnlisted});
  EXPECT_EQ(faultsAfter([](test::TempDir& d) { fs::remove(d.file("D/00/vol/3.raw")); }),
            std::vector<PackageFault>{});
  EXPECT_EQ(faultsAfter([](test::TempDir& d) { d.write("D/00/vol/1.raw", "slice 9"); }),
            std::vector<PackageFault>{PackageFault::ContentChanged});
  EXPECT_EQ(
      faultsAfter([](test::TempDir& d) { fs::remove(d.file("D/00/v.raw")); }),
      (std::vector<PackageFault>{PackageFault::ContentMissing, PackageFault::ContentChanged}));
}

}  // namespace
}  // namespace vesk
