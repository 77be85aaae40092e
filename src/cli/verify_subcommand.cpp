#include <ostream>

#include "commands.h"
#include "messages/messages.h"
#include "package/package_verify.h"
#include "package/recovery_report.h"

namespace vesk::cli {

int runVerify(const std::string& packageDocument, std::ostream& out, std::ostream& err) {
  if (const auto notice = interruptedWorkNotice(packageDocument)) {
    err << notice->text << '\n';
    return 1;
  }
  const std::vector<PackageProblem> problems = verifyPackage(packageDocument);
  if (problems.empty()) {
    out << kVerifiedMessage << '\n';
    return 0;
  }
  err << verifyFailureText(problems) << '\n';
  return 1;
}

}  // namespace vesk::cli
