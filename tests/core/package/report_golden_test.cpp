// The report of each golden package (tests/data/packages/<case>) against its
// expected structure (expected/report.txt, typed by hand: figures, every menu page
// with its thumbnails, rows and buttons, every entry with its pictures and data).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "package/build_command.h"
#include "package/package_report_file.h"
#include "package/report_page.h"
#include "support/golden_files.h"
#include "support/recording_sink.h"
#include "support/report_structure.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::split;

const fs::path kCases = fs::path(VESK_TEST_DATA_DIR) / "packages";

std::vector<std::string> caseNames() {
  std::vector<std::string> names;
  for (const auto& item : fs::directory_iterator(kCases)) {
    if (item.is_directory()) names.push_back(item.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ReportGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(ReportGolden, ShowsTheExpectedPagesEntriesAndFigures) {
  const fs::path folder = kCases / GetParam();
  test::TempDir dir;
  fs::copy(folder / "input", fs::path(dir.file("input")), fs::copy_options::recursive);
  dir.makeFolder("package");
  CreateRequest request;
  for (const std::string& line : split(readBytes(folder / "entries.txt"), '\n')) {
    const std::vector<std::string> fields = split(line, '\t');
    ASSERT_EQ(fields.size(), 3u) << line;
    request.entries.push_back({dir.file("input/" + fields[0]),
                               dir.file("input/" + fields[1]),
                               dir.file("input/" + fields[2]),
                               {}});
  }
  request.destination = dir.file("package");
  request.programFolder = VESK_DATA_DIR;
  test::RecordingSink sink;
  ASSERT_EQ(createPackage(request, sink).status, BuildStatus::Written);

  const std::string document = dir.file("package/exhibition.nuv");
  const auto report =
      readPackageReport(document, pictureLinksFor(document, reportPathOf(document)));
  ASSERT_TRUE(report);
  EXPECT_EQ(test::reportStructure(renderReportPage(*report)),
            split(readBytes(folder / "expected/report.txt"), '\n'));
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportGolden, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace vesk
