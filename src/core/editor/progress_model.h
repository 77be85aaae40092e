#pragma once

#include <cstdint>
#include <string>

namespace vesk {

// The work a progress window follows: the check before a create counts entries, the
// create counts files and bytes.
enum class ProgressStage { Check, Create };

// What a running check or create has done so far, as both dialogs' progress windows
// draw it. A value: the worker's reports change it, the window draws a copy.
struct ProgressState {
  ProgressStage stage = ProgressStage::Create;
  bool started = false;     // the totals are known
  bool cancelling = false;  // the operator asked to stop; the work has not ended yet
  bool finishing = false;   // every file is copied; the document and the checks remain
  std::uint64_t totalBytes = 0;
  std::uint64_t totalFiles = 0;  // entries, when checking
  std::uint64_t bytesDone = 0;
  std::uint64_t filesDone = 0;
  std::string currentItem;  // the file being copied, the scene of the entry being checked

  // The work announces its totals (the counts done stay as they are).
  void start(std::uint64_t bytes, std::uint64_t files);
  // The work turns to `item`.
  void beginItem(std::string item);
  // Bytes and files (entries) done so far.
  void advance(std::uint64_t bytes, std::uint64_t files);
  // The operator pressed Cancel; it stays so until the work ends.
  void cancel();
  // The copies are over; what remains is the work's own.
  void finish();
};

// How far the work is, from 0 to 1: by bytes when there are any to copy, else by
// files (entries); 0 before the totals are known; never above 1, even when a file grew
// while it was copied.
double progressFraction(const ProgressState& state);

// The bar's position for a bar of `steps` steps: the fraction rounded down.
int progressBarPosition(const ProgressState& state, int steps);

// The line above the bar: "準備しています…" before the totals, "中止しています…" once
// Cancel was pressed, "仕上げています…" once the copies are over, else
// "コピー中: <file>" ("確認中: <scene>" when checking), or "コピーしています…"
// ("確認しています…") while no item is named.
std::string progressItemText(const ProgressState& state);

// The counts line below the bar, empty before the totals and for a look without any
// (reading a package back): "1.5 KB / 3.0 MB　2 / 9
// ファイル" for a create (bytes as the create's summary shows them), "2 / 9 項目" for
// the check.
std::string progressCountsText(const ProgressState& state);

}  // namespace vesk
