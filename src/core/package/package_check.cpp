#include "package/package_check.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>
#include <utility>

#include "base/file_system.h"
#include "messages/messages.h"
#include "package/package_plan.h"

namespace vesk {

namespace fs = std::filesystem;

std::vector<CheckProblem> checkPackage(const CheckRequest& request) {
  return planPackage(request).problems;
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

std::string checkReportText(const std::vector<CheckProblem>& problems) {
  if (problems.empty()) return {};
  // A check the operator cancelled found nothing: its line stands alone, under no
  // heading that speaks of problems found.
  if (std::all_of(problems.begin(), problems.end(),
                  [](const CheckProblem& p) { return p.fault == CheckFault::Cancelled; })) {
    return problems.front().text;
  }
  std::string text = hasCheckErrors(problems) ? kCheckErrorsHeading : kCheckWarningsHeading;
  for (const auto& problem : problems) text += "\n" + problem.text;
  return text;
}

std::optional<std::uint64_t> systemFreeSpace(const std::string& folder) {
  std::error_code ec;
  fs::path path = toFsPath(folder);
  if (path.empty()) path = fs::current_path(ec);
  path = fs::absolute(path, ec);
  while (!ec && !pathExists(fromFsPath(path))) {
    if (!path.has_relative_path()) return std::nullopt;
    path = path.parent_path();
  }
  if (ec) return std::nullopt;
  const fs::space_info space = fs::space(path, ec);
  if (ec || space.available == static_cast<std::uintmax_t>(-1)) return std::nullopt;
  return static_cast<std::uint64_t>(space.available);
}

}  // namespace vesk
