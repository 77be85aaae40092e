#pragma once

#include <string>
#include <vector>

#include "package/package_check.h"

namespace vesk {

// One line of the problem window: how much it matters and the operator's text.
struct ProblemLine {
  CheckSeverity severity = CheckSeverity::Error;
  std::string text;
};

// The lines the problem window shows for `problems`, errors first, each group in the
// order the check found them. A problem without a text shows its path; a text loses its
// leading severity word, which the window shows beside it.
std::vector<ProblemLine> problemLinesOf(const std::vector<CheckProblem>& problems);

// The word that names a line's severity ("エラー", "警告").
const char* severityWord(CheckSeverity severity);

// The window's count line, e.g. "エラー 2 件、警告 1 件"; a severity without lines is
// left out.
std::string problemCountText(const std::vector<ProblemLine>& lines);

// The window's heading: the error heading unless the create may go on.
const char* problemHeading(bool canCreate);

}  // namespace vesk
