// bench-report: the report page of a 99-entry package (each entry one data file and a
// data folder of 100 files, the sample's pictures), with its pictures linked (written
// into the package) and embedded (written elsewhere), against a verify of the same
// package measured in the same run; also the report made in memory, without the
// durable write, against the verify and a walk that reads the size of every file
// (which the report's counts need). Prints the best of five runs and the page sizes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "messages/message_sink.h"
#include "package/build_command.h"
#include "package/package_report_file.h"
#include "package/package_verify.h"
#include "package/report_page.h"
#include "quiet_run.h"
#include "workload.h"

namespace {

namespace fs = std::filesystem;
using vesk::bench::QuietSink;

double bestOfFive(const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main() {
  const fs::path work = fs::path(VESK_BENCH_WORK_DIR) / "bench-report";
  fs::remove_all(work);
  fs::create_directories(work / "package");
  fs::create_directories(work / "elsewhere");
  const fs::path thumb = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_thumb.jpg";
  const fs::path desc = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_desc.png";
  const vesk::bench::DataHeavyShape shape{99, 1, 99 * 4096, 100, 1024};
  const auto inputs = vesk::bench::makeDataHeavy(work / "src", shape, thumb, desc);
  vesk::CreateRequest request;
  for (const auto& e : inputs.entries)
    request.entries.push_back({e.scene, e.thumbnail, e.description, {}});
  request.destination = (work / "package").string();
  request.programFolder = VESK_PROGRAM_DIR;
  QuietSink sink;
  if (vesk::createPackage(request, sink).status != vesk::BuildStatus::Written) return 1;
  const std::string document = (work / "package/exhibition.nuv").string();
  const std::string linked = vesk::reportPathOf(document);
  const std::string embedded = (work / "elsewhere/report.html").string();

  // The report counts the bytes of every file: one status query of each, as du does.
  std::uintmax_t bytes = 0;
  const double statAll = bestOfFive([&] {
    bytes = 0;
    std::error_code ec;
    for (const auto& item : fs::recursive_directory_iterator(work / "package"))
      if (item.is_regular_file()) bytes += fs::file_size(item.path(), ec);
  });
  std::size_t problems = 0;
  const double verify = bestOfFive([&] { problems = vesk::verifyPackage(document).size(); });
  bool made = true;
  const double inMemory = bestOfFive([&] {
    const auto report = vesk::readPackageReport(document, vesk::pictureLinksFor(document, linked));
    made = made && report.ok() && !vesk::renderReportPage(*report).empty();
  });
  bool written = true;
  const double linkedTime =
      bestOfFive([&] { written = written && vesk::writePackageReport(document, linked).ok(); });
  const double embeddedTime =
      bestOfFive([&] { written = written && vesk::writePackageReport(document, embedded).ok(); });
  if (!written || !made) return 1;
  std::printf("99 entries, %zu problems; verify %.3f s; size of every file %.3f s\n", problems,
              verify, statAll);
  std::printf("report made in memory, linked: %.3f s (%.2f x verify, %.2f x verify + sizes)\n",
              inMemory, inMemory / verify, inMemory / (verify + statAll));
  std::printf("report, pictures linked:   %.3f s (%.2f x verify), %.0f KiB\n", linkedTime,
              linkedTime / verify, static_cast<double>(fs::file_size(linked)) / 1024);
  std::printf("report, pictures embedded: %.3f s (%.2f x verify), %.0f KiB\n", embeddedTime,
              embeddedTime / verify, static_cast<double>(fs::file_size(embedded)) / 1024);
  fs::remove_all(work);
  return 0;
}
