#include "editor/progress_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vesk {
namespace {

// A run of reports, as the worker makes them, and what the window then shows.
struct Case {
  const char* name;
  ProgressStage stage;
  std::function<void(ProgressState&)> reports;
  std::string item;
  std::string counts;
  double fraction;
};

TEST(ProgressModel, DrawsEachStateOfACheckAndACreate) {
  using S = ProgressState;
  const std::vector<Case> cases = {
      {"create before its totals", ProgressStage::Create, [](S&) {}, "準備しています…", "", 0},
      {"check before its totals", ProgressStage::Check, [](S&) {}, "準備しています…", "", 0},
      {"create with totals, no file yet", ProgressStage::Create, [](S& s) { s.start(3u << 20, 9); },
       "コピーしています…", "0 B / 3.0 MB　0 / 9 ファイル", 0},
      {"create copying", ProgressStage::Create,
       [](S& s) {
         s.start(4096, 4);
         s.beginItem("/src/a b.raw");
         s.advance(1024, 1);
       },
       "コピー中: /src/a b.raw", "1.0 KB / 4.0 KB　1 / 4 ファイル", 0.25},
      {"check at an entry", ProgressStage::Check,
       [](S& s) {
         s.start(0, 4);
         s.beginItem("/s/c.nuv");
         s.advance(0, 3);
       },
       "確認中: /s/c.nuv", "3 / 4 項目", 0.75},
      {"check with totals, no entry yet", ProgressStage::Check, [](S& s) { s.start(0, 10); },
       "確認しています…", "0 / 10 項目", 0},
      {"a byte short of a mebibyte shows as one", ProgressStage::Create,
       [](S& s) {
         s.start(1048575, 12345);
         s.advance(1048575, 12345);
       },
       "コピーしています…", "1.0 MB / 1.0 MB　12,345 / 12,345 ファイル", 1},
      {"only empty files: by files", ProgressStage::Create,
       [](S& s) {
         s.start(0, 8);
         s.advance(0, 2);
       },
       "コピーしています…", "0 B / 0 B　2 / 8 ファイル", 0.25},
      {"nothing to do", ProgressStage::Create, [](S& s) { s.start(0, 0); }, "コピーしています…",
       "0 B / 0 B　0 / 0 ファイル", 0},
      {"a file grew while copied", ProgressStage::Create,
       [](S& s) {
         s.start(100, 1);
         s.advance(150, 1);
       },
       "コピーしています…", "150 B / 100 B　1 / 1 ファイル", 1},
      {"the copies over, the document and the checks left", ProgressStage::Create,
       [](S& s) {
         s.start(2048, 2);
         s.beginItem("/src/b");
         s.advance(2048, 2);
         s.finish();
       },
       "仕上げています…", "2.0 KB / 2.0 KB　2 / 2 ファイル", 1},
      {"cancel while finishing", ProgressStage::Create,
       [](S& s) {
         s.start(2048, 2);
         s.advance(2048, 2);
         s.finish();
         s.cancel();
       },
       "中止しています…", "2.0 KB / 2.0 KB　2 / 2 ファイル", 1},
      {"a package read back: each folder named, nothing counted ahead", ProgressStage::Check,
       [](S& s) {
         s.start(0, 0);
         s.beginItem("/pkg/03");
       },
       "確認中: /pkg/03", "", 0},
      {"cancel before the totals", ProgressStage::Check, [](S& s) { s.cancel(); },
       "中止しています…", "", 0},
      {"cancel stays while the work goes on", ProgressStage::Create,
       [](S& s) {
         s.start(2048, 2);
         s.beginItem("/src/a");
         s.cancel();
         s.beginItem("/src/b");
         s.advance(1024, 1);
       },
       "中止しています…", "1.0 KB / 2.0 KB　1 / 2 ファイル", 0.5},
  };
  for (const Case& c : cases) {
    ProgressState state;
    state.stage = c.stage;
    c.reports(state);
    EXPECT_EQ(progressItemText(state), c.item) << c.name;
    EXPECT_EQ(progressCountsText(state), c.counts) << c.name;
    EXPECT_DOUBLE_EQ(progressFraction(state), c.fraction) << c.name;
  }
}

TEST(ProgressModel, TheBarReachesItsEndOnlyWhenAllIsDone) {
  ProgressState state;
  state.start(1000000, 1);
  const std::vector<std::pair<std::uint64_t, int>> cases = {
      {0, 0}, {999, 0}, {1000, 1}, {500000, 500}, {999999, 999}, {1000000, 1000}, {2000000, 1000}};
  for (const auto& [bytes, position] : cases) {
    state.advance(bytes, 0);
    EXPECT_EQ(progressBarPosition(state, 1000), position) << bytes;
  }
}

}  // namespace
}  // namespace vesk
