// bench-trust: the check before a create of 99 entries with about 10,000 data files
// and the verify of the package made from them with about 10,000 data files (warm,
// and cold when the page cache can be dropped), and a replace of a data-heavy package
// against a plain create into a new folder, each with its ratio to the baseline
// measured in the same run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>

#include <unistd.h>

#include "messages/message_sink.h"
#include "package/build_command.h"
#include "package/package_check.h"
#include "package/package_replace.h"
#include "package/package_verify.h"
#include "quiet_run.h"
#include "workload.h"

namespace {

namespace fs = std::filesystem;
using vesk::bench::kMiB;
using vesk::bench::QuietSink;
using vesk::bench::seconds;

bool dropCaches() {
  ::sync();
  std::ofstream drop("/proc/sys/vm/drop_caches");
  drop << "3\n";
  drop.flush();
  return static_cast<bool>(drop);
}

vesk::CreateRequest requestFor(const vesk::bench::Workload& workload, const fs::path& dest) {
  vesk::CreateRequest request;
  for (const auto& e : workload.entries)
    request.entries.push_back({e.scene, e.thumbnail, e.description, {}});
  request.destination = dest.string();
  request.programFolder = VESK_PROGRAM_DIR;
  return request;
}

}  // namespace

int main() {
  const fs::path work = fs::path(VESK_BENCH_WORK_DIR) / "bench-trust";
  fs::remove_all(work);
  fs::create_directories(work);
  const fs::path thumb = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_thumb.jpg";
  const fs::path desc = fs::path(VESK_SAMPLE_DIR) / "01-heart/heart_desc.png";
  QuietSink sink;

  // 99 entries, each one data file and a data folder of 100 files: 9,999 data files.
  vesk::bench::DataHeavyShape many{99, 1, 99 * 4096, 100, 1024};
  const auto manyInputs = vesk::bench::makeDataHeavy(work / "many-src", many, thumb, desc);

  // The check of the inputs: against one stat of every input file.
  vesk::CheckRequest check;
  check.entries = requestFor(manyInputs, work / "many").entries;
  check.destination = (work / "many").string();
  check.programFolder = VESK_PROGRAM_DIR;
  std::size_t found = 0;
  const auto runCheck = [&] { found = vesk::checkPackage(check).size(); };
  // The baseline lists every input and looks at each once, as the check must.
  const auto statInputs = [&] {
    std::error_code ec;
    for (const auto& item : fs::recursive_directory_iterator(work / "many-src"))
      (void)fs::status(item.path(), ec);
  };
  double checkWarm = 1e9;
  double inputsWalk = 1e9;
  for (int i = 0; i < 5; ++i) {
    checkWarm = std::min(checkWarm, seconds(runCheck));
    inputsWalk = std::min(inputsWalk, seconds(statInputs));
  }
  std::printf("check warm: %.3f s (%zu problems); stat of every input %.3f s; ratio %.1f\n",
              checkWarm, found, inputsWalk, checkWarm / inputsWalk);
  if (dropCaches()) {
    const double cold = seconds(runCheck);
    dropCaches();
    const double coldBase = seconds(statInputs);
    std::printf("check cold: %.3f s; cold stat of every input %.3f s; ratio %.1f\n", cold, coldBase,
                cold / coldBase);
  } else {
    std::printf("check cold: not measured (the page cache cannot be dropped here)\n");
  }

  fs::create_directories(work / "many");
  vesk::createPackage(requestFor(manyInputs, work / "many"), sink);
  const std::string document = (work / "many/exhibition.nuv").string();
  std::size_t files = 0;
  for (const auto& item : fs::recursive_directory_iterator(work / "many"))
    files += item.is_regular_file();
  std::printf("package of 99 entries: %zu files\n", files);

  // Baseline: one stat of every file of the package.
  const auto statAll = [&] {
    for (const auto& item : fs::recursive_directory_iterator(work / "many"))
      (void)item.is_regular_file();
  };
  const double baseline = seconds(statAll);
  double warm = 1e9;
  std::size_t problems = 0;
  for (int i = 0; i < 5; ++i)
    warm = std::min(warm, seconds([&] { problems = vesk::verifyPackage(document).size(); }));
  std::printf("verify warm: %.3f s (%zu problems); walk of the package %.3f s; ratio %.1f\n", warm,
              problems, baseline, warm / baseline);
  if (dropCaches()) {
    const double cold = seconds([&] { vesk::verifyPackage(document); });
    dropCaches();
    const double coldBase = seconds(statAll);
    std::printf("verify cold: %.3f s; cold walk %.3f s; ratio %.1f\n", cold, coldBase,
                cold / coldBase);
  } else {
    std::printf("verify cold: not measured (the page cache cannot be dropped here)\n");
  }

  // Data-heavy: 10 entries of 4 data files sharing 20 MiB and 1,000 files of 4 KiB.
  vesk::bench::DataHeavyShape heavy{10, 4, 20 * kMiB, 1000, 4096};
  const auto heavyInputs = vesk::bench::makeDataHeavy(work / "heavy-src", heavy, thumb, desc);
  std::printf("data-heavy inputs: %llu files, %.0f MiB\n",
              static_cast<unsigned long long>(heavyInputs.files),
              static_cast<double>(heavyInputs.bytes) / kMiB);
  // Each timing includes the sync that puts its writes on disk, so that neither run
  // pays for the other's write-back.
  const auto timedWithSync = [](const std::function<void()>& work) {
    ::sync();
    return seconds([&] {
      work();
      ::sync();
    });
  };
  for (int round = 0; round < 2; ++round) {
    const fs::path dest = work / ("plain" + std::to_string(round));
    fs::create_directories(dest);
    const double plain =
        timedWithSync([&] { vesk::createPackage(requestFor(heavyInputs, dest), sink); });
    const double replace =
        timedWithSync([&] { vesk::replacePackage(requestFor(heavyInputs, dest), sink); });
    std::printf("plain create into a new folder %.2f s; replace of it %.2f s; ratio %.2f\n", plain,
                replace, replace / plain);
    fs::remove_all(dest);
    // The working folder's cost: the same create built straight into its folder.
    fs::create_directories(dest);
    const double inPlace =
        timedWithSync([&] { vesk::buildPackageInPlace(requestFor(heavyInputs, dest), sink); });
    std::printf(
        "create built in place (no working folder, no move) %.2f s; through the working "
        "folder / in place: %.2f\n",
        inPlace, plain / inPlace);
    fs::remove_all(dest);
  }
  fs::remove_all(work);
  return 0;
}
