#pragma once

#include <functional>
#include <vector>

#include "editor/background_task.h"
#include "editor/progress_model.h"
#include "messages/message_sink.h"
#include "package/build_command.h"
#include "package/build_progress.h"
#include "package/package_check.h"
#include "package/package_plan.h"

namespace vesk {

// Runs the check before a create, and the create, for the dialog. A windowed runner
// runs the job on a worker thread (a BackgroundTask) behind a modal progress window
// that draws the task's ProgressState and offers Cancel, shown once the job has run
// for kProgressWindowDelayMs (the dialog takes no command meanwhile, as it is busy);
// `run` returns once the job has ended and the window has closed, the dialog having
// gone on painting meanwhile.
// The job's messages are shown on the dialog's thread, its success message only
// after the progress window has gone.
class BuildRunner {
 public:
  virtual ~BuildRunner() = default;
  // True when the job ran without the operator pressing Cancel.
  virtual bool run(ProgressStage stage, const BackgroundJob& job) = 0;
};

// The create the dialog runs once the operator has chosen the destination:
// `createPackage`, or another for tests.
using BuildFunction = std::function<BuildReport(const CreateRequest& request, MessageSink& sink,
                                                BuildProgress* progress)>;

// The check the dialog runs before a create, once the destination is known and the
// operator has answered the replace question: `planPackage` (its problems are the
// check's, and the create executes the plan), or another for tests. It runs on the
// worker thread of a runner and reports to `request.progress`.
using CheckFunction = std::function<PackagePlan(const CheckRequest& request)>;

}  // namespace vesk
