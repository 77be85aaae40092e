#pragma once

#include <vector>

#include "editor/build_runner.h"
#include "support/recording_sink.h"

namespace vesk::test {

// A runner that runs each job in place, records its stage, and answers as if the
// operator had pressed Cancel when `cancel` is set.
struct RecordingRunner : BuildRunner {
  bool run(ProgressStage stage, const BackgroundJob& job) override {
    stages.push_back(stage);
    BuildProgress none;
    job(sink, none);
    return !cancel;
  }
  std::vector<ProgressStage> stages;
  RecordingSink sink;
  bool cancel = false;
};

}  // namespace vesk::test
