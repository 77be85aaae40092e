#pragma once

#include <functional>

#include "messages/message_sink.h"
#include "package/build_command.h"
#include "package/build_progress.h"
#include "package/package_check.h"
#include "package/package_plan.h"

namespace vesk {

// The build a create runs once the destination is known, given the sink and the
// progress it must report to.
using BuildJob = std::function<BuildReport(MessageSink& sink, BuildProgress* progress)>;

// Runs the build of a create for the dialog. A windowed runner runs it on a worker
// thread behind a progress window, with a sink that shows each message on the
// dialog's thread and waits until it is closed; `run` returns once the build has
// ended, the dialog having gone on painting meanwhile.
class BuildRunner {
 public:
  virtual ~BuildRunner() = default;
  virtual BuildReport run(const BuildJob& job) = 0;
};

// The create the dialog runs once the operator has chosen the destination:
// `createPackage`, or another for tests.
using BuildFunction = std::function<BuildReport(const CreateRequest& request, MessageSink& sink,
                                                BuildProgress* progress)>;

// The check the dialog runs before a create, once the destination is known and the
// operator has answered the replace question: `planPackage` (its problems are the
// check's, and the create executes the plan), or another for tests.
using CheckFunction = std::function<PackagePlan(const CheckRequest& request)>;

}  // namespace vesk
