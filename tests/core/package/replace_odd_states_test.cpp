#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "base/file_lock.h"
#include "base/folder_walk.h"
#include "messages/messages.h"
#include "package/package_check.h"
#include "package/package_members.h"
#include "package/package_replace.h"
#include "package/package_verify.h"
#include "replace_fixture.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using test::PackageReplace;
using test::snapshot;

bool mentions(const std::vector<std::string>& messages, const std::string& text) {
  for (const auto& message : messages) {
    if (message.find(text) != std::string::npos) return true;
  }
  return false;
}

// Each odd state of the destination beside the earlier package of a and b: whether a
// replace by c, b and a goes ahead, what its message names, and that the check said so
// before. Nothing outside the package is touched either way, and a refusal leaves the
// destination as it was.
TEST_F(PackageReplace, OddStatesOfTheDestinationAreLeftAloneAndNamed) {
  struct Case {
    std::string label;
    std::function<void(test::TempDir&)> arrange;
    bool replaced;          // the replace goes ahead
    std::string named;      // a path (relative to the test folder) the refusal names
    std::string untouched;  // a file outside the package whose content must stay
    bool report = false;    // the replace writes the report page
  };
  const std::vector<Case> cases{
      {"a link in the working folder's place",
       [](test::TempDir& d) {
         d.write("outside/00/keep.raw", "not the package's");
         std::error_code ec;
         fs::create_directory_symlink(d.file("outside"), d.file("D/.vesk-staging"), ec);
         // Where no link can be made (Windows without the right), an unmarked folder
         // stands in for it.
         if (ec) d.write("D/.vesk-staging/keep.raw", "the operator's");
       },
       false, "D/.vesk-staging", "outside/00/keep.raw"},
      {"a file in the working folder's place",
       [](test::TempDir& d) { d.write("D/.vesk-staging", "the operator's file"); }, false,
       "D/.vesk-staging", "D/.vesk-staging"},
      {"a folder without the marker in the working folder's place",
       [](test::TempDir& d) { d.write("D/.vesk-staging/00/keep.raw", "the operator's"); }, false,
       "D/.vesk-staging", "D/.vesk-staging/00/keep.raw"},
      {"a folder without the marker holding a file named like the lock",
       [](test::TempDir& d) { d.write("D/.vesk-staging/.vesk-lock", "the operator's notes"); },
       false, "D/.vesk-staging", "D/.vesk-staging/.vesk-lock"},
      {"a user folder where the new package needs 02",
       [](test::TempDir& d) { d.write("D/02/keep.raw", "the operator's"); }, false, "D/02",
       "D/02/keep.raw"},
      {"a user folder 55 beside the package",
       [](test::TempDir& d) { d.write("D/55/keep.raw", "the operator's"); }, true, "",
       "D/55/keep.raw"},
      {"a user file inside an entry folder",
       [](test::TempDir& d) { d.write("D/01/notes.txt", "the operator's"); }, false,
       "D/01/notes.txt", "D/01/notes.txt"},
      {"a folder in place of the document",
       [](test::TempDir& d) {
         fs::remove(d.file("D/exhibition.nuv"));
         d.write("D/exhibition.nuv/keep.raw", "the operator's");
       },
       false, "D/exhibition.nuv", "D/exhibition.nuv/keep.raw"},
      {"entry folders without their document",
       [](test::TempDir& d) { fs::remove(d.file("D/exhibition.nuv")); }, false, "D/00/a.nuv",
       "D/00/a.nuv"},
      {"the operator's own document, manifest and report where no package is",
       [](test::TempDir& d) {
         for (const char* name :
              {"00", "01", "exhibition.nuv", "exhibition.sha256", "exhibition.vesk-copies"}) {
           fs::remove_all(d.file(std::string("D/") + name));
         }
         d.write("D/exhibition.nuv", "the operator's notes");
         d.write("D/exhibition.sha256", "the operator's");
         d.write("D/vesk-report.html", "the operator's");
       },
       false, "D/exhibition.sha256", "D/vesk-report.html"},
      {"user files named like the old working folders",
       [](test::TempDir& d) {
         d.write("D/.vesk-previous", "the operator's");
         d.write("D/.vesk-discard/keep.raw", "the operator's");
       },
       true, "", "D/.vesk-discard/keep.raw"},
      {"the operator's own page of the report's name beside the package, kept",
       [](test::TempDir& d) { d.write("D/vesk-report.html", "<p>the operator's</p>"); }, true, "",
       "D/vesk-report.html"},
      {"the operator's own page of the report's name where the report goes",
       [](test::TempDir& d) { d.write("D/vesk-report.html", "<p>the operator's</p>"); }, false,
       "D/vesk-report.html", "D/vesk-report.html", true},
      {"a folder where the report page goes",
       [](test::TempDir& d) { d.write("D/vesk-report.html/keep.raw", "the operator's"); }, false,
       "D/vesk-report.html", "D/vesk-report.html/keep.raw", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    dir.clear();
    SetUp();
    makeEarlierAndExpected();
    c.arrange(dir);
    const std::string kept = dir.read(c.untouched);
    const auto before = snapshot(dir.file("D"));

    CheckRequest check = checkRequest({"c", "b", "a"}, "D", true);
    check.withReport = c.report;
    const auto problems = checkPackage(check);
    EXPECT_EQ(hasCheckErrors(problems), !c.replaced) << checkReportText(problems);

    CreateRequest replace = request({"c", "b", "a"}, "D");
    replace.writeReport = c.report;
    const BuildReport report = replacePackage(replace, sink);
    EXPECT_EQ(report.status == BuildStatus::Written, c.replaced);
    if (c.replaced) {
      EXPECT_TRUE(verifyPackage(dir.file("D/exhibition.nuv")).empty());
    } else {
      EXPECT_EQ(sink.kinds.back(), MessageKind::Error);
      EXPECT_TRUE(mentions(sink.messages, dir.file(c.named))) << c.named;
      EXPECT_TRUE(mentions({checkReportText(problems)}, dir.file(c.named))) << c.named;
      // A refused replace leaves nothing of its own behind, not even its working folder.
      EXPECT_EQ(snapshot(dir.file("D")), before);
    }
    EXPECT_EQ(dir.read(c.untouched), kept);
    EXPECT_EQ(dir.read("D/notes.txt"), "the operator's own");
  }
}

// The looks of one run share the reading of the earlier document only while it is the
// same file: a document changed in between, in place or by another file put in its
// place, is read again, so that no look works from what it no longer says.
TEST_F(PackageReplace, LooksSharingTheDocumentsReadingSeeItChange) {
  fs::create_directories(dir.file("D"));
  fs::create_directories(dir.file("E"));
  ASSERT_EQ(createPackage(request({"a", "b"}, "D"), sink).status, BuildStatus::Written);
  ASSERT_EQ(createPackage(request({"a"}, "E"), sink).status, BuildStatus::Written);
  const std::string shorter = dir.read("E/exhibition.nuv");
  const std::vector<std::pair<const char*, std::function<void()>>> changes{
      {"rewritten in place", [&] { dir.write("D/exhibition.nuv", shorter); }},
      {"another file put in its place",
       [&] {
         dir.write("D/exhibition.new", shorter);
         fs::remove(dir.file("D/exhibition.nuv"));
         fs::rename(dir.file("D/exhibition.new"), dir.file("D/exhibition.nuv"));
       }},
  };
  const std::string earlier = dir.read("D/exhibition.nuv");
  for (const auto& [label, change] : changes) {
    SCOPED_TRACE(label);
    dir.write("D/exhibition.nuv", earlier);
    DocumentNames names;
    const auto holds01 = [&] {
      const std::vector<std::string> members = packageMembers(dir.file("D"), &names);
      return std::find(members.begin(), members.end(), "01") != members.end();
    };
    ASSERT_TRUE(holds01());
    EXPECT_TRUE(replaceObstacles(dir.file("D"), 2, false, {}, &names).empty());
    change();
    // The document now names one entry: 01 is no member, and is in the way of a new 01.
    EXPECT_FALSE(holds01());
    EXPECT_FALSE(replaceObstacles(dir.file("D"), 2, false, {}, &names).empty());
  }
}

TEST_F(PackageReplace, AHeldLockRefusesASecondRunAndALeftLockIsStale) {
  makeEarlierAndExpected();
  dir.write("D/.vesk-staging/.vesk-working-folder", "marker");
  FileLock other;
  int error = 0;
  ASSERT_EQ(lockFile(dir.file("D/.vesk-staging/.vesk-lock"), true, other, error),
            LockAttempt::Acquired);

  const std::string busy = dir.file("D/.vesk-staging");
  EXPECT_EQ(replacePackage(request({"c", "b", "a"}, "D"), sink).status, BuildStatus::Stopped);
  EXPECT_TRUE(mentions(sink.messages, busy));
  EXPECT_EQ(createPackage(request({"c"}, "D"), sink).status, BuildStatus::Stopped);
  const CheckRequest check = checkRequest({"c", "b", "a"}, "D", true);
  EXPECT_TRUE(hasCheckErrors(checkPackage(check)));
  EXPECT_TRUE(fs::exists(dir.file("D/.vesk-staging/.vesk-lock"))) << "the holder's, untouched";

  // The lock of a run that was killed is not held: its folder is taken over.
  other.release();
  sink.messages.clear();
  EXPECT_EQ(replacePackage(request({"c", "b", "a"}, "D"), sink).status, BuildStatus::Written);
  EXPECT_EQ(snapshot(dir.file("D")), replaced);
}

// Another run that comes upon a working folder being made takes its lock for a moment
// to learn whether it is held; the run that made the folder waits for it, not refuses.
TEST_F(PackageReplace, AMomentaryLookAtTheLockDoesNotTurnItsMakerAway) {
  makeEarlierAndExpected();
  FileLock look;
  std::thread lettingGo;
  const StepHook lookAtTheLock = [&](int, const std::string& what) {
    if (what == "lock") {
      int error = 0;
      EXPECT_EQ(lockFile(dir.file("D/.vesk-staging/.vesk-lock"), true, look, error),
                LockAttempt::Acquired);
      lettingGo = std::thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        look.release();
      });
    }
    return true;
  };
  const BuildReport report =
      replacePackage(request({"c", "b", "a"}, "D"), sink, nullptr, lookAtTheLock);
  if (lettingGo.joinable()) lettingGo.join();
  EXPECT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(snapshot(dir.file("D")), replaced);
}

// A run that comes upon another's working folder while that run removes it at its end
// (its lock file deleted and still held; on Windows no one can open such a file until
// it is let go) is refused as busy, or goes ahead once the folder is gone: never
// refused as a failure.
TEST_F(PackageReplace, ARunFindingAnotherRemovingItsWorkingFolderIsBusyOrGoesAhead) {
  makeEarlierAndExpected();
  const auto before = snapshot(dir.file("D"));
  FileLock ending;
  int error = 0;
  const std::string lock = dir.file("D/.vesk-staging/.vesk-lock");
  fs::create_directories(dir.file("D/.vesk-staging"));
  ASSERT_EQ(lockFile(lock, true, ending, error), LockAttempt::Acquired);
  ASSERT_TRUE(removeTree(lock));
  std::thread lettingGo([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    ending.release();
    (void)removeEmptyFolder(dir.file("D/.vesk-staging"));
  });
  const BuildReport report = replacePackage(request({"c", "b", "a"}, "D"), sink);
  lettingGo.join();
  std::string said;
  for (const auto& message : sink.messages) said += message + "\n";
  if (report.status == BuildStatus::Written) {
    EXPECT_EQ(snapshot(dir.file("D")), replaced);
  } else {
    const std::string busy(kDestinationBusyMessage);
    EXPECT_TRUE(mentions(sink.messages, busy.substr(0, busy.find('{')))) << said;
    EXPECT_EQ(snapshot(dir.file("D")), before);
  }
}

// A leftover working folder that its own run removes between another run's look and its
// take-over is nothing to recover: never a failure, and nothing is made in its place.
TEST_F(PackageReplace, ALeftoverGoneBeforeItsTakeOverIsNothingToRecover) {
  dir.write("D/.vesk-staging/.vesk-working-folder", "marker");
  WorkingFolder folder;
  EXPECT_EQ(adoptWorkingFolder(dir.file("D"), folder,
                               [&] { fs::remove_all(dir.file("D/.vesk-staging")); }),
            WorkingFolderOpening::Gone);
  EXPECT_FALSE(fs::exists(dir.file("D/.vesk-staging")));
}

// Every ending of a create or replace that does not finish: the destination is as it
// was, and the last message says so.
TEST_F(PackageReplace, AFailedOrCancelledRunLeavesTheDestinationAsItWas) {
  struct Cancel : BuildProgress {
    int files = 0;
    void fileStarted(const std::string&) override { ++files; }
    bool cancelRequested() override { return files >= 3; }
  };
  enum class Ending { DiskFull, Unreadable, Cancel };
  enum class Into { NewFolder, EmptyFolder, EarlierPackage };
  for (const Ending ending : {Ending::DiskFull, Ending::Unreadable, Ending::Cancel}) {
    for (const Into into : {Into::NewFolder, Into::EmptyFolder, Into::EarlierPackage}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(ending)) + "/" +
                   std::to_string(static_cast<int>(into)));
      dir.clear();
      SetUp();
      makeEarlierAndExpected();
      const std::string dest = into == Into::EarlierPackage ? "D" : "P/Q";
      if (into == Into::EmptyFolder) fs::create_directories(dir.file(dest));
      const bool existed = fs::exists(dir.file("P"));
      const auto before = into == Into::EarlierPackage ? snapshot(dir.file("D"))
                                                       : std::map<std::string, std::string>{};
      FileOperations operations = systemFileOperations();
      const auto real = operations.copy;
      int copies = 0;
      operations.copy = [&](const std::string& from, const std::string& to,
                            const CopyProgress& progress, const CopyContent& content) -> Status {
        if (++copies == 4 && ending == Ending::DiskFull) {
          return makeFailure(FailureCode::WriteFailed, to, ENOSPC);
        }
        if (copies == 4 && ending == Ending::Unreadable) {
          return makeFailure(FailureCode::ReadFailed, from, EIO);
        }
        return real(from, to, progress, content);
      };
      CreateRequest create = request({"c", "b", "a"}, dest);
      create.operations = &operations;
      Cancel cancel;
      BuildProgress none;
      BuildProgress* progress = ending == Ending::Cancel ? &cancel : &none;
      const BuildReport report = into == Into::EarlierPackage
                                     ? replacePackage(create, sink, progress)
                                     : createPackage(create, sink, progress);
      EXPECT_EQ(report.status, BuildStatus::Stopped);
      const char* said =
          into == Into::EarlierPackage
              ? (ending == Ending::Cancel ? kReplaceCancelledMessage : kEarlierPackageKeptMessage)
              : (ending == Ending::Cancel ? kCreateCancelledUndoneMessage : kCreateUndoneMessage);
      EXPECT_EQ(sink.messages.back(), said);
      switch (into) {
        case Into::NewFolder:
          EXPECT_EQ(fs::exists(dir.file("P")), existed) << "the folders it made are gone";
          break;
        case Into::EmptyFolder:
          EXPECT_TRUE(fs::is_empty(dir.file(dest)));
          break;
        case Into::EarlierPackage:
          EXPECT_EQ(snapshot(dir.file("D")), before);
          break;
      }
      // The next plain build succeeds.
      sink.messages.clear();
      const BuildReport next = into == Into::EarlierPackage
                                   ? replacePackage(request({"c", "b", "a"}, dest), sink)
                                   : createPackage(request({"c", "b", "a"}, dest), sink);
      EXPECT_EQ(next.status, BuildStatus::Written);
      EXPECT_TRUE(verifyPackage(dir.file(dest + "/exhibition.nuv")).empty());
    }
  }
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

// Two replaces into one folder at once: one holds the working folder, the other is
// refused (or runs after it); the folder ends with one whole package, and a run that
// did not replace never says it did nor that it restored anything.
TEST_F(PackageReplace, TwoReplacesAtOnceNeverMixPackagesNorMisreport) {
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    dir.clear();
    SetUp();
    makeEarlierAndExpected();
    fs::create_directories(dir.file("N1"));
    ASSERT_EQ(createPackage(request({"a"}, "N1"), sink).status, BuildStatus::Written);
    dir.write("N1/notes.txt", "the operator's own");
    dir.write("N1/07/keep.txt", "an old folder the new package does not have");
    const auto single = snapshot(dir.file("N1"));

    test::RecordingSink sinks[2];
    BuildStatus status[2];
    std::thread first([&] {
      status[0] = replacePackage(request({"c", "b", "a"}, "D"), sinks[0]).status;
    });
    std::thread second([&] { status[1] = replacePackage(request({"a"}, "D"), sinks[1]).status; });
    first.join();
    second.join();

    const auto after = snapshot(dir.file("D"));
    const auto said = [&] {
      std::string text;
      for (int run = 0; run < 2; ++run) {
        for (const auto& message : sinks[run].messages)
          text += std::to_string(run) + ": " + message + "\n";
      }
      return text;
    };
    EXPECT_TRUE(after == replaced || after == single) << said();
    EXPECT_TRUE(status[0] == BuildStatus::Written || status[1] == BuildStatus::Written) << said();
    if (status[0] != BuildStatus::Written) {
      EXPECT_EQ(after, single);
    }
    if (status[1] != BuildStatus::Written) {
      EXPECT_EQ(after, replaced);
    }
    for (int run = 0; run < 2; ++run) {
      if (status[run] == BuildStatus::Written) continue;
      for (const auto& message : sinks[run].messages) {
        EXPECT_EQ(message.find(kCreatedMessage), std::string::npos) << message;
        EXPECT_EQ(message.find(kEarlierPackageKeptMessage), std::string::npos) << message;
        EXPECT_EQ(message.find(kSwapFailedMessage), std::string::npos) << message;
      }
    }
  }
}

}  // namespace
}  // namespace vesk
