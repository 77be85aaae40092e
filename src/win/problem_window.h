#pragma once

#include <windows.h>

#include <vector>

#include "editor/problem_lines.h"

namespace vesk::win {

// Shows the problem window (dialog template IDD_PROBLEMS) modally over `owner`: the
// heading, one row per line with its severity's icon and word and its text, the
// count, and the buttons 作成 (hidden when `canCreate` is false) and 中止, the
// default. Returns true for 作成; 中止, Escape and the close box give false.
bool showProblemWindow(HINSTANCE instance, HWND owner, const std::vector<ProblemLine>& lines,
                       bool canCreate);

}  // namespace vesk::win
