#include "editor/progress_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "messages/dialog_texts.h"
#include "package/create_summary.h"

namespace vesk {

void ProgressState::start(std::uint64_t bytes, std::uint64_t files) {
  started = true;
  totalBytes = bytes;
  totalFiles = files;
}

void ProgressState::beginItem(std::string item) {
  currentItem = std::move(item);
}

void ProgressState::advance(std::uint64_t bytes, std::uint64_t files) {
  bytesDone = bytes;
  filesDone = files;
}

void ProgressState::cancel() {
  cancelling = true;
}

void ProgressState::finish() {
  finishing = true;
  currentItem.clear();
}

double progressFraction(const ProgressState& state) {
  if (!state.started) return 0;
  double share = 0;
  if (state.totalBytes > 0) {
    share = static_cast<double>(state.bytesDone) / static_cast<double>(state.totalBytes);
  } else if (state.totalFiles > 0) {
    share = static_cast<double>(state.filesDone) / static_cast<double>(state.totalFiles);
  }
  return std::clamp(share, 0.0, 1.0);
}

int progressBarPosition(const ProgressState& state, int steps) {
  return static_cast<int>(std::floor(progressFraction(state) * steps));
}

std::string progressItemText(const ProgressState& state) {
  if (state.cancelling) return kProgressCancelling;
  if (!state.started) return kProgressPreparing;
  if (state.finishing) return kProgressFinishing;
  const bool checking = state.stage == ProgressStage::Check;
  if (state.currentItem.empty()) return checking ? kProgressChecking : kProgressCopying;
  return (checking ? kProgressCheckingItem : kProgressCopyingItem) + state.currentItem;
}

std::string progressCountsText(const ProgressState& state) {
  // A look that counts nothing ahead (reading a package back) shows no counts.
  if (!state.started || (state.stage == ProgressStage::Check && state.totalFiles == 0)) return {};
  const std::string files =
      groupedNumber(state.filesDone) + " / " + groupedNumber(state.totalFiles);
  if (state.stage == ProgressStage::Check) return files + kProgressEntriesUnit;
  return byteSizeText(state.bytesDone) + " / " + byteSizeText(state.totalBytes) + "\u3000" + files +
         kProgressFilesUnit;
}

}  // namespace vesk
