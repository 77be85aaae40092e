// Whole packages against golden folders: each folder under tests/data/packages holds
// the inputs of a create (input/), the entry list (entries.txt: one entry a line,
// scene, thumbnail and description separated by tabs, relative to input/), the
// expected document (expected/exhibition.nuv), the expected file tree
// (expected/tree.txt: one path a line, folders ending in "/", sorted) and the
// expected structure of the package's report page (expected/report.txt, typed by
// hand: figures, every menu page with its thumbnails, rows and buttons, every entry
// with its pictures and data).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "messages/messages.h"
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

// Every file and folder under `root`, relative, folders ending in "/", sorted.
std::vector<std::string> treeOf(const fs::path& root) {
  std::vector<std::string> paths;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    std::string path = fs::relative(item.path(), root).generic_string();
    if (item.is_directory()) path += '/';
    paths.push_back(path);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

class PackageGolden : public ::testing::TestWithParam<std::string> {};

TEST_P(PackageGolden, CreatesTheExpectedDocumentFilesAndReport) {
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
  const BuildReport report = createPackage(request, sink);
  EXPECT_EQ(report.status, BuildStatus::Written);
  EXPECT_EQ(test::withoutSummary(sink.messages), std::vector<std::string>{kCreatedMessage});

  EXPECT_EQ(dir.read("package/exhibition.nuv"), readBytes(folder / "expected/exhibition.nuv"));
  EXPECT_EQ(treeOf(dir.file("package")), split(readBytes(folder / "expected/tree.txt"), '\n'));

  const std::string document = dir.file("package/exhibition.nuv");
  const auto page = readPackageReport(document, pictureLinksFor(document, reportPathOf(document)));
  ASSERT_TRUE(page);
  EXPECT_EQ(test::reportStructure(renderReportPage(*page)),
            split(readBytes(folder / "expected/report.txt"), '\n'));
}

INSTANTIATE_TEST_SUITE_P(Cases, PackageGolden, ::testing::ValuesIn(caseNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace vesk
