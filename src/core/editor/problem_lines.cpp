#include "editor/problem_lines.h"

#include <algorithm>
#include <string_view>

#include "messages/message_template.h"
#include "messages/messages.h"

namespace vesk {
namespace {

// The check's line without its leading severity word: the window shows that word in a
// column of its own.
std::string withoutSeverityPrefix(const std::string& text) {
  for (const char* prefix : {kCheckErrorPrefix, kCheckWarningPrefix}) {
    const std::string_view word(prefix);
    if (text.compare(0, word.size(), word) == 0) return text.substr(word.size());
  }
  return text;
}

}  // namespace

std::vector<ProblemLine> problemLinesOf(const std::vector<CheckProblem>& problems) {
  std::vector<ProblemLine> lines;
  lines.reserve(problems.size());
  for (const CheckProblem& problem : problems) {
    lines.push_back({problem.severity,
                     problem.text.empty() ? problem.path : withoutSeverityPrefix(problem.text)});
  }
  // Errors are what stops the create, so they come first; the check's order stays
  // within each group.
  std::stable_partition(lines.begin(), lines.end(), [](const ProblemLine& line) {
    return line.severity == CheckSeverity::Error;
  });
  return lines;
}

const char* severityWord(CheckSeverity severity) {
  return severity == CheckSeverity::Error ? kProblemSeverityError : kProblemSeverityWarning;
}

std::string problemCountText(const std::vector<ProblemLine>& lines) {
  const auto errors = std::count_if(lines.begin(), lines.end(), [](const ProblemLine& line) {
    return line.severity == CheckSeverity::Error;
  });
  const auto warnings = static_cast<std::ptrdiff_t>(lines.size()) - errors;
  std::string text;
  const auto part = [&text](const char* sentence, std::ptrdiff_t count) {
    if (count == 0) return;
    if (!text.empty()) text += kProblemCountSeparator;
    text += fillTemplate(sentence, {{"count", std::to_string(count)}});
  };
  part(kProblemCountErrors, errors);
  part(kProblemCountWarnings, warnings);
  return text;
}

const char* problemHeading(bool canCreate) {
  return canCreate ? kProblemsWarningHeading : kProblemsErrorHeading;
}

}  // namespace vesk
