#include "package/package_check.h"

#include <algorithm>

namespace vesk {

std::vector<CheckProblem> checkPackage(const CheckRequest& request) {
  (void)request;
  return {};
}

bool hasCheckErrors(const std::vector<CheckProblem>& problems) {
  return std::any_of(problems.begin(), problems.end(), [](const CheckProblem& problem) {
    return problem.severity == CheckSeverity::Error;
  });
}

std::size_t checkWarningCount(const std::vector<CheckProblem>& problems) {
  return static_cast<std::size_t>(std::count_if(
      problems.begin(), problems.end(),
      [](const CheckProblem& problem) { return problem.severity == CheckSeverity::Warning; }));
}

}  // namespace vesk
