#include "editor/problem_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "messages/messages.h"

namespace vesk {
namespace {

constexpr CheckSeverity E = CheckSeverity::Error;
constexpr CheckSeverity W = CheckSeverity::Warning;

CheckProblem problem(CheckSeverity severity, const std::string& text, const std::string& path) {
  CheckProblem p;
  p.severity = severity;
  p.text = text;
  p.path = path;
  return p;
}

TEST(ProblemLines, ErrorsComeFirstAndEachGroupKeepsTheCheckOrder) {
  const std::vector<ProblemLine> lines = problemLinesOf({
      problem(W, "w1", "/a"),
      problem(E, "e1", "/b"),
      problem(W, "w2", "/c"),
      problem(E, "", "/d"),  // no text: its path stands for it
      problem(E, std::string(kCheckErrorPrefix) + "00 e3", "/e"),
      problem(W, std::string(kCheckWarningPrefix) + "01 w3", "/f"),
  });
  ASSERT_EQ(lines.size(), 6u);
  const std::vector<std::pair<CheckSeverity, std::string>> expected = {
      {E, "e1"}, {E, "/d"}, {E, "00 e3"}, {W, "w1"}, {W, "w2"}, {W, "01 w3"}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].severity, expected[i].first) << i;
    EXPECT_EQ(lines[i].text, expected[i].second) << i;
  }
}

TEST(ProblemLines, TheCountLineNamesOnlyTheSeveritiesPresent) {
  struct Case {
    std::vector<CheckSeverity> severities;
    std::string text;
  };
  const Case cases[] = {
      {{}, ""},
      {{E}, "エラー 1 件"},
      {{W, W}, "警告 2 件"},
      {{W, E, W, E}, "エラー 2 件、警告 2 件"},
  };
  for (const Case& c : cases) {
    std::vector<ProblemLine> lines;
    for (CheckSeverity s : c.severities) lines.push_back({s, "x"});
    EXPECT_EQ(problemCountText(lines), c.text) << c.severities.size();
  }
}

TEST(ProblemLines, TheHeadingSaysWhetherTheCreateMayGoOn) {
  EXPECT_EQ(std::string(problemHeading(false)).rfind("エラー　", 0), 0u);
  EXPECT_NE(std::string(problemHeading(true)), std::string(problemHeading(false)));
  EXPECT_EQ(std::string(severityWord(E)), "エラー");
  EXPECT_EQ(std::string(severityWord(W)), "警告");
}

}  // namespace
}  // namespace vesk
